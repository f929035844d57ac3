#include "monitor/MonitorPage.h"

#include "core/Locations.h"
#include "platform/Environment.h"
#include "process/mProcess.h"
#include "widgets/ActionLabel.h"
#include "widgets/DisplayText.h"
#include "widgets/Fonts.h"
#include "widgets/OrventoCmd.h"
#include "widgets/Twips.h"

#include <QAction>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <cstdlib>

namespace halvik::monitor {

namespace {

const QColor kLinkColour(0, 0, 255);
const QColor kOrange(0xFF, 0x80, 0x00);

// The refusal on the Windows 95 family: the message, then the end of the whole program at once.
void refuseAndEnd(QWidget* owner) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(core::kProgramTitle),
                  QString::fromUtf8(process::mProcess::kRefusalMessage), QMessageBox::Ok, owner);
  box.exec();
  std::exit(EXIT_SUCCESS);
}

}  // namespace

MonitorPage::MonitorPage(QWidget* owner, MonitorTimer& timer, QWidget* frame)
    : QObject(frame),
      m_frame(frame),
      m_monitor(timer, m_sweep, m_lock, ActiveMonitor::Hold::WhileOn),
      m_logic(*this, m_monitor) {
  buildControls();
  platform::environment().refusalHook = [owner] { refuseAndEnd(owner); };
}

MonitorPage::~MonitorPage() { platform::environment().refusalHook = nullptr; }

void MonitorPage::buildControls() {
  m_frame->setFont(widgets::fonts::verdana());
  Label10 = widgets::twips::placed(new QLabel(QStringLiteral("Moniteur des Adwares Actives:"), m_frame),
                                   QStringLiteral("Label10"), 120, 360, 6240, 330);
  QFont title = widgets::fonts::verdana(14);
  title.setBold(true);
  Label10->setFont(title);

  Line3 = widgets::twips::placed(new QFrame(m_frame), QStringLiteral("Line3"), 120, 705, 6240, 30);
  Line3->setFrameShape(QFrame::HLine);
  Line3->setFrameShadow(QFrame::Sunken);

  Label8 = widgets::twips::placed(new QLabel(QStringLiteral("Tous les processes charg\u00E9s :"), m_frame),
                                  QStringLiteral("Label8"), 120, 960, 3000, 255);
  lblGoSettings = widgets::twips::placed(new widgets::ActionLabel(QStringLiteral("Configuration"), m_frame),
                                         QStringLiteral("lblGoSettings"), 3240, 960, 2160, 255);
  lblEnableMonitor = widgets::twips::placed(new widgets::ActionLabel(QStringLiteral("Activez"), m_frame),
                                            QStringLiteral("lblEnableMonitor"), 5520, 960, 855, 255);
  for (widgets::ActionLabel* link : {lblGoSettings, lblEnableMonitor}) link->setForeColor(kLinkColour);

  lvProcesses = widgets::twips::placed(new QTreeWidget(m_frame), QStringLiteral("lvProcesses"), 120, 1320, 6255, 2415);
  lvProcesses->setColumnCount(3);
  lvProcesses->setHeaderLabels(
      {QStringLiteral("Nom de Process"), QStringLiteral("Status des Adwares"), QStringLiteral("Action Taken")});
  lvProcesses->setRootIsDecorated(false);
  lvProcesses->setUniformRowHeights(true);
  lvProcesses->setAllColumnsShowFocus(true);
  lvProcesses->setColumnWidth(0, widgets::twips::toPixels(2900, lvProcesses->logicalDpiX()));
  lvProcesses->setColumnWidth(1, widgets::twips::toPixels(1700, lvProcesses->logicalDpiX()));

  // "Selectionnez un Process" as the monitor page has always read with nothing selected: kept unchanged.
  lblProcessName = widgets::twips::placed(new QLabel(QStringLiteral("Selectionnez un Process"), m_frame),
                                          QStringLiteral("lblProcessName"), 120, 3760, 4920, 255);
  lblProcessName->setProperty("Tag", QString());
  widgets::setTextColour(lblProcessName, kOrange);

  Command1 = widgets::twips::placed(new widgets::Quillet::OrventoCmd(m_frame), QStringLiteral("Command1"), 5160, 3760,
                                    1215, 300);
  Command1->setCaption(QStringLiteral("Terminer"));

  connect(lblGoSettings, &widgets::ActionLabel::Click, this, &MonitorPage::settingsRequested);
  connect(lblEnableMonitor, &widgets::ActionLabel::Click, this, [this] { m_logic.toggle(); });
  // The highlighted row is the target, however it was highlighted (a click or the keyboard).
  connect(lvProcesses, &QTreeWidget::currentItemChanged, this, &MonitorPage::lvProcesses_ItemClick);
  connect(Command1, &widgets::Quillet::OrventoCmd::Click, this, [this] { m_logic.terminate(); });

  // "Reprendre" in the list's menu: the highlighted process runs again (a right click highlights
  // the row under the cursor first).
  actReprendre = new QAction(QStringLiteral("Reprendre"), lvProcesses);
  actReprendre->setObjectName(QStringLiteral("actReprendre"));
  lvProcesses->setContextMenuPolicy(Qt::ActionsContextMenu);
  lvProcesses->addAction(actReprendre);
  connect(actReprendre, &QAction::triggered, this, [this] { m_logic.resume(); });
}

// The rows are rebuilt in place; the list keeps its scroll position and the highlight stays on the
// selected process (identifier and start time), so that a tick moves neither what the user is
// looking at nor what "Terminer" acts on.
void MonitorPage::showRows(const std::vector<SweepRow>& rows) {
  const int scroll = lvProcesses->verticalScrollBar()->value();
  lvProcesses->setUpdatesEnabled(false);
  {
    const QSignalBlocker quiet(lvProcesses);  // the rebuild is no choice of the user's
    lvProcesses->clear();
    for (const SweepRow& row : rows) {
      auto* item =
          new QTreeWidgetItem(lvProcesses, {widgets::displayText(row.imagePath), widgets::displayText(row.status),
                                            widgets::displayText(row.action)});
      item->setData(0, kPathRole, QByteArray(row.imagePath.data(), static_cast<qsizetype>(row.imagePath.size())));
      item->setData(0, kProcessIdRole, QVariant::fromValue(row.processId));
      item->setData(0, kStartTimeRole, QVariant::fromValue(static_cast<qulonglong>(row.startTime)));
    }
    highlightSelection();
  }
  lvProcesses->verticalScrollBar()->setValue(scroll);
  lvProcesses->setUpdatesEnabled(true);
}

void MonitorPage::highlightSelection() {
  const auto& selected = m_logic.selection();
  lvProcesses->setCurrentItem(nullptr);  // no highlight that is not the target
  if (!selected) return;
  for (int row = 0; row < lvProcesses->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = lvProcesses->topLevelItem(row);
    if (item->data(0, kProcessIdRole).toUInt() == selected->processId &&
        item->data(0, kStartTimeRole).toULongLong() == selected->startTime) {
      lvProcesses->setCurrentItem(item);
      return;
    }
  }
}

void MonitorPage::showListNote(const std::string& note) { lvProcesses->setToolTip(QString::fromUtf8(note)); }

void MonitorPage::showMonitorState(const std::string& caption, bool on) {
  emit monitorStateChanged(QString::fromUtf8(caption), on);
}

void MonitorPage::showSwitchCaption(const std::string& caption) {
  lblEnableMonitor->setText(QString::fromUtf8(caption));
}

void MonitorPage::lvProcesses_ItemClick(QTreeWidgetItem* item) {
  if (!item) return;  // the list was cleared: the selection stays until another row is highlighted
  const QByteArray path = item->data(0, kPathRole).toByteArray();
  m_logic.select(ProcessSelection{item->data(0, kProcessIdRole).toUInt(), path.toStdString(),
                                  item->data(0, kStartTimeRole).toULongLong()});
}

void MonitorPage::showSelection(const ProcessSelection& selection) {
  lblProcessName->setText(widgets::displayText(selection.imagePath));
  lblProcessName->setProperty("Tag", QString::number(selection.processId));
}

}  // namespace halvik::monitor
