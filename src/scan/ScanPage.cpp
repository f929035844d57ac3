#include "scan/ScanPage.h"

#include "scan/frmDir.h"
#include "scan/frmScan.h"
#include "widgets/OrventoCmd.h"
#include "widgets/OrventoFrm.h"
#include "widgets/Twips.h"

#include <QEvent>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

namespace halvik::scan {

ScanPage::ScanPage(QWidget* owner, core::StatusCounters& status, QWidget* frame)
    : QObject(frame), m_owner(owner), m_status(status) {
  // "Preparation" without its accent, as the scan page has always shown it: captions stay as users know them.
  Label23 = widgets::twips::placed(new QLabel(QStringLiteral("Preparation du Scan Système :"), frame),
                                   QStringLiteral("Label23"), 240, 480, 6375, 285);
  QFont bold = Label23->font();
  bold.setBold(true);
  Label23->setFont(bold);
  Label2 = widgets::twips::placed(
      new QLabel(QStringLiteral("Veuillez choisir le scan mode puis cliquez sur suivant pour continuer :"), frame),
      QStringLiteral("Label2"), 240, 840, 6375, 255);
  Frame1 =
      widgets::twips::placed(new widgets::Quillet::OrventoFrm(frame), QStringLiteral("Frame1"), 480, 1260, 5895, 1620);
  // "Selectionnez" without its accent, as the scan modes have always read: kept unchanged.
  const char* const captions[] = {"Scannez tout l'ordinateur", "Selectionnez le répertoire à scanner",
                                  "Scan Rapide du système"};
  for (int index = 0; index < 3; ++index) {
    auto* option =
        widgets::twips::placed(new QRadioButton(QString::fromUtf8(captions[index]), Frame1),
                               QStringLiteral("optScanMODE_%1").arg(index), 240, 180 + 420 * index, 5400, 315);
    connect(option, &QRadioButton::clicked, this, [this, index] { optScanMODE_Click(index); });
    optScanMODE[static_cast<std::size_t>(index)] = option;
  }
  optScanMODE[0]->setChecked(true);
  lblNextBack = widgets::twips::placed(new widgets::Quillet::OrventoCmd(frame), QStringLiteral("lblNextBack"), 5295,
                                       3240, 1320, 465);
  lblNextBack->setCaption(QStringLiteral("Suivant"));
  lblNextBack->setButtonType(1);
  connect(lblNextBack, &widgets::Quillet::OrventoCmd::Click, this, &ScanPage::lblNextBack_Click);
}

frmScan* ScanPage::results() const { return m_results; }
frmDir* ScanPage::folderChooser() const { return m_chooser; }

void ScanPage::optScanMODE_Click(int index) {
  if (index != 1) return;
  if (m_chooser) {
    m_chooser->raise();
    m_chooser->activateWindow();
    return;
  }
  m_chooser = new frmDir(m_owner);
  m_chooser->show();
}

void ScanPage::lblNextBack_Click() {
  m_pendingFolders.clear();
  scan::ScanMode mode = scan::ScanMode::AllDrives;
  if (optScanMODE[1]->isChecked()) mode = scan::ScanMode::CustomFolder;
  if (optScanMODE[2]->isChecked()) mode = scan::ScanMode::QuickScan;
  runScan(mode);
}

// The whole scan runs here and yields as it walks: from inside a yield this page, its windows
// and the main window may be closed or destroyed, so nothing of `this` is touched after the scan,
// and the scan reaches its results window through a guarded pointer.
void ScanPage::runScan(scan::ScanMode mode) {
  ScanPresenter presenter(m_status, [page = QPointer<ScanPage>(this)]() -> ScanPresenter::ResultsWindow {
    QPointer<frmScan> window = page ? page->reopenResults() : nullptr;
    return [window]() -> ScanView* { return window.data(); };
  });
  presenter.run(mode);
}

void ScanPage::scanFolders(const std::vector<std::string>& folders) {
  m_pendingFolders.assign(folders.begin(), folders.end());
  scanNextFolder();
}

void ScanPage::addFolders(const std::vector<std::string>& folders) {
  const bool waiting = !m_pendingFolders.empty() || (m_results && m_results->isVisible());
  m_pendingFolders.insert(m_pendingFolders.end(), folders.begin(), folders.end());
  if (!waiting) return scanNextFolder();
  if (m_results) m_results->installEventFilter(this);
}

void ScanPage::scanNextFolder() {
  if (m_pendingFolders.empty()) return;
  optScanMODE[1]->setChecked(true);
  scan::setCustomScanFolder(m_pendingFolders.front());
  m_pendingFolders.pop_front();
  const QPointer<ScanPage> page(this);
  runScan(scan::ScanMode::CustomFolder);
  if (page && page->m_results && !page->m_pendingFolders.empty()) page->m_results->installEventFilter(page);
}

// The results window of a queued folder was closed or hidden: the next folder's turn.
bool ScanPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_results && event->type() == QEvent::Hide) {
    watched->removeEventFilter(this);
    QTimer::singleShot(0, this, &ScanPage::scanNextFolder);
  }
  return QObject::eventFilter(watched, event);
}

// Discards the results window of the previous scan and shows a fresh one.
frmScan* ScanPage::reopenResults() {
  if (m_results) {
    m_results->removeEventFilter(this);  // replaced, not closed by the user
    m_results->hide();
    m_results->deleteLater();
  }
  m_results = new frmScan(m_owner);
  connect(m_results, &frmScan::ObjectsRemoved, this,
          [this](const QString& total) { m_status.showObjectsRemoved(total.toStdString()); });
  connect(m_results, &frmScan::RepairDone, this, [this] { m_status.refreshQuarantineCount(); });
  m_results->show();
  return m_results;
}

}  // namespace halvik::scan
