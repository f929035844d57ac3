#include "monitor/MonitorPage.h"

#include "core/Locations.h"
#include "platform/Environment.h"
#include "process/ProcessListView.h"
#include "process/mProcess.h"
#include "widgets/ActionLabel.h"
#include "widgets/DisplayText.h"
#include "widgets/Fonts.h"
#include "widgets/OrventoCmd.h"
#include "widgets/Twips.h"
#include "ui/frmMain.h"
#include "ui/frmSettings.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>

#include <cstdlib>

namespace halvik::monitor {

namespace {

const QColor kLinkColour(0, 0, 255);
// How long a refresh or a switch waits for the companion to finish a check under the lock.
constexpr std::chrono::milliseconds kLockWait(1000);
const QColor kOrange(0xFF, 0x80, 0x00);

// lvProcesses as the refresh sees it. Each row keeps the raw path bytes beside its display text.
class ProcessTree : public process::ProcessListView {
 public:
  explicit ProcessTree(QTreeWidget& tree) : m_tree(tree) {}

  void clear() override { m_tree.clear(); }

  int addRow(const std::string& imagePath) override {
    auto* item = new QTreeWidgetItem(&m_tree, QStringList{widgets::displayText(imagePath)});
    item->setData(0, MonitorPage::kPathRole, QByteArray(imagePath.data(), static_cast<qsizetype>(imagePath.size())));
    return m_tree.topLevelItemCount() - 1;
  }

  void setSubItems(int row, const std::string& status, const std::string& action) override {
    QTreeWidgetItem* item = m_tree.topLevelItem(row);
    item->setText(1, widgets::displayText(status));
    item->setText(2, widgets::displayText(action));
  }

  void setTag(int row, std::uint32_t processId, std::uint64_t startTime) override {
    QTreeWidgetItem* item = m_tree.topLevelItem(row);
    item->setData(0, MonitorPage::kProcessIdRole, QVariant::fromValue(processId));
    item->setData(0, MonitorPage::kStartTimeRole, QVariant::fromValue(static_cast<qulonglong>(startTime)));
  }

 private:
  QTreeWidget& m_tree;
};

// The refusal on the Windows 95 family: the message, then the end of the whole program at once.
void refuseAndEnd(QWidget* owner) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(core::kProgramTitle), QString::fromUtf8(process::mProcess::kRefusalMessage),
                  QMessageBox::Ok, owner);
  box.exec();
  std::exit(EXIT_SUCCESS);
}

}  // namespace

MonitorPage::MonitorPage(ui::frmMain& main, QWidget* frame) : QObject(frame), m_main(main), m_frame(frame) {
  buildControls();
  connect(m_main.tmrAdMonitor, &QTimer::timeout, this, &MonitorPage::RefreshProcessList);
  platform::environment().refusalHook = [owner = &main] { refuseAndEnd(owner); };
}

MonitorPage::~MonitorPage() { platform::environment().refusalHook = nullptr; }

void MonitorPage::buildControls() {
  m_frame->setFont(widgets::fonts::verdana());
  Label10 = widgets::twips::placed(new QLabel(QStringLiteral("Moniteur des Adwares Actives:"), m_frame), QStringLiteral("Label10"), 120, 360,
                          6240, 330);
  QFont title = widgets::fonts::verdana(14);
  title.setBold(true);
  Label10->setFont(title);

  Line3 = widgets::twips::placed(new QFrame(m_frame), QStringLiteral("Line3"), 120, 705, 6240, 30);
  Line3->setFrameShape(QFrame::HLine);
  Line3->setFrameShadow(QFrame::Sunken);

  Label8 = widgets::twips::placed(new QLabel(QStringLiteral("Tous les processes charg\u00E9s :"), m_frame), QStringLiteral("Label8"), 120, 960,
                         3000, 255);
  lblGoSettings = widgets::twips::placed(new widgets::ActionLabel(QStringLiteral("Configuration"), m_frame), QStringLiteral("lblGoSettings"), 3240,
                                960, 2160, 255);
  lblEnableMonitor = widgets::twips::placed(new widgets::ActionLabel(QStringLiteral("Activez"), m_frame), QStringLiteral("lblEnableMonitor"), 5520,
                                   960, 855, 255);
  for (widgets::ActionLabel* link : {lblGoSettings, lblEnableMonitor}) link->setForeColor(kLinkColour);

  lvProcesses = widgets::twips::placed(new QTreeWidget(m_frame), QStringLiteral("lvProcesses"), 120, 1320, 6255, 2415);
  lvProcesses->setColumnCount(3);
  lvProcesses->setHeaderLabels({QStringLiteral("Nom de Process"), QStringLiteral("Status des Adwares"), QStringLiteral("Action Taken")});
  lvProcesses->setRootIsDecorated(false);
  lvProcesses->setUniformRowHeights(true);
  lvProcesses->setAllColumnsShowFocus(true);
  lvProcesses->setColumnWidth(0, widgets::twips::toPixels(2900, lvProcesses->logicalDpiX()));
  lvProcesses->setColumnWidth(1, widgets::twips::toPixels(1700, lvProcesses->logicalDpiX()));

  lblProcessName = widgets::twips::placed(new QLabel(QStringLiteral("Selectionnez un Process"), m_frame), QStringLiteral("lblProcessName"),
                                 120, 3760, 4920, 255);
  lblProcessName->setProperty("Tag", QString());
  widgets::setTextColour(lblProcessName, kOrange);

  Command1 = widgets::twips::placed(new widgets::Quillet::OrventoCmd(m_frame), QStringLiteral("Command1"), 5160, 3760, 1215, 300);
  Command1->setCaption(QStringLiteral("Terminer"));

  connect(lblGoSettings, &widgets::ActionLabel::Click, &m_main, &ui::frmMain::showSettings);
  connect(lblEnableMonitor, &widgets::ActionLabel::Click, this, &MonitorPage::lblEnableMonitor_Click);
  connect(lvProcesses, &QTreeWidget::itemClicked, this, &MonitorPage::lvProcesses_ItemClick);
  connect(Command1, &widgets::Quillet::OrventoCmd::Click, this, &MonitorPage::Command1_Click);
}

void MonitorPage::RefreshProcessList() {
  if (!m_lock.take(kLockWait)) return;
  // The rows are rebuilt in place; the list keeps its scroll position so that a tick does not
  // move what the user is looking at.
  const int scroll = lvProcesses->verticalScrollBar()->value();
  lvProcesses->setUpdatesEnabled(false);
  ProcessTree tree(*lvProcesses);
  process::mProcess::RefreshProcessList(tree);
  lvProcesses->verticalScrollBar()->setValue(scroll);
  lvProcesses->setUpdatesEnabled(true);
  if (!m_main.tmrAdMonitor->isActive()) m_lock.release();
}

void MonitorPage::followMonitorState() {
  if (m_main.tmrAdMonitor->isActive())
    m_lock.take(kLockWait);
  else
    m_lock.release();
}

void MonitorPage::lblEnableMonitor_Click() {
  QTimer* timer = m_main.tmrAdMonitor;
  if (timer->isActive())
    timer->stop();
  else
    timer->start();
  followMonitorState();
  const bool on = timer->isActive();
  lblEnableMonitor->setText(on ? QStringLiteral("D\u00E9sactiv\u00E9") : QStringLiteral("Activ\u00E9"));
  m_main.lblStatus_Admonitor->setText(on ? QStringLiteral("Charg\u00E9") : QStringLiteral("Non Charg\u00E9"));
  widgets::setTextColour(m_main.lblStatus_Admonitor, on ? QColor(0, 0, 0) : QColor(255, 0, 0));
}

void MonitorPage::lvProcesses_ItemClick(QTreeWidgetItem* item) {
  if (!item) return;
  const QByteArray path = item->data(0, kPathRole).toByteArray();
  m_selection = ProcessSelection{item->data(0, kProcessIdRole).toUInt(), path.toStdString(),
                                 item->data(0, kStartTimeRole).toULongLong()};
  lblProcessName->setText(item->text(0));
  lblProcessName->setProperty("Tag", QString::number(m_selection->processId));
}

void MonitorPage::Command1_Click() {
  // Nothing has been selected since start-up: there is no process to terminate.
  if (m_selection) TerminateSelection(*m_selection);
}

}  // namespace halvik::monitor
