#include "scan/ScanPage.h"

#include "core/Locations.h"
#include "core/Settings.h"
#include "engine/SignatureDb.h"
#include "engine/mScanFiles.h"
#include "platform/Platform.h"
#include "scan/FolderList.h"
#include "scan/RepairPass.h"
#include "scan/ScanPresenter.h"
#include "scan/frmDir.h"
#include "scan/frmScan.h"
#include "support/TestEnvironment.h"
#include "ui/frmMain.h"
#include "widgets/ActionLabel.h"
#include "widgets/OrventoCmd.h"
#include "widgets/OrventoFrm.h"

#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <functional>

namespace halvik::gui {

using namespace testing_support;
namespace fs = std::filesystem;

namespace {
// A row path under the test root `root` ("/d"). On Windows either separator joins names (the
// test's roots are made with "/", the walk adds a backslash) and names ignore case (drive roots are
// upper-cased).
bool isUnder(QString path, const char* root) {
  const QString prefix = QString::fromLatin1(root) + QLatin1Char('/');
#ifdef _WIN32
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return path.startsWith(prefix, Qt::CaseInsensitive);
#else
  return path.startsWith(prefix);
#endif
}
}  // namespace

// Whole scans from the scan page's "Suivant" to the repair pass, and what the user may do from
// inside the scan's yields. Three "drives" and a "Windows folder" are test folders, each with
// kHitsPerRoot files named in the database among plenty of other files.
class tst_ScanPage : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void pageHasItsControls();
  void allDrivesFromSuivantToRepair();
  void customFolderChosenInTheChooser();
  void cancelledChoiceKeepsTheProgramOpen();
  void quickScanWalksTheWindowsFolder();
  void annulerFromAYieldEndsTheWholeScan();
  void secondSuivantFromAYieldReplacesTheWindowAndStopsTheWalk();
  void closingTheResultsFromAYieldStopsTheWalk();
  void destroyingTheResultsFromAYieldStopsTheWalk();
  void quittingFromAYieldStopsTheWalk();
  void foldersOpenedWithTheProgramAreScannedInTurn();
  void suivantDropsTheFoldersNotYetScanned();

 private:
  static constexpr int kHitsPerRoot = 3;
  void makeRoot(const std::string& root);
  void clickSuivant() { QTest::mouseClick(m_main->scanPage->lblNextBack, Qt::LeftButton); }
  // Clicks an option on its round button, as a user does.
  void clickOption(int index) {
    QRadioButton* option = m_main->scanPage->optScanMODE[static_cast<std::size_t>(index)];
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
  }
  // Runs `action` at the first yield of the next scan.
  void atFirstYield(std::function<void()> action) { QTimer::singleShot(0, m_main, std::move(action)); }
  QStringList rowPaths(const scan::frmScan* window) const;
  static bool noWalkRunning() { return !engine::mScanFiles::ScanRunning(); }

  std::unique_ptr<TestEnvironment> m_environment;
  std::unique_ptr<TempFolder> m_tree;
  QPointer<ui::frmMain> m_main;
};

void tst_ScanPage::makeRoot(const std::string& root) {
  for (int folder = 0; folder < kHitsPerRoot; ++folder) {
    const std::string sub = root + "/sub" + std::to_string(folder);
    fs::create_directories(sub + "/deeper");
    writeFile(sub + "/deeper/evil.exe", "payload");
    for (int file = 0; file < 20; ++file) writeFile(sub + "/file" + std::to_string(file) + ".txt", "clean");
  }
}

void tst_ScanPage::init() {
  m_environment = std::make_unique<TestEnvironment>();
  m_tree = std::make_unique<TempFolder>();
  writeFile(core::programFile(engine::kScanDatabase), "[Scanfiles]\r\nevil.exe=Demo Threat\r\n");
  core::settings::write(core::settings::Key::Quarintine, "1");
  for (const char* root : {"c", "d", "e", "win"}) makeRoot(*m_tree / root);
  const std::string tree = m_tree->path();
  (*m_environment)->drives = [tree] { return std::vector<std::string>{tree + "/c", tree + "/d", tree + "/e"}; };
  (*m_environment)->windowsFolder = [tree] { return tree + "/win"; };
  (*m_environment)->yieldInterval = std::chrono::milliseconds(0);
  scan::setCustomScanFolder("");
  m_main = new ui::frmMain;
  m_main->show();
  m_main->SetCurrentFrame(1);
}

void tst_ScanPage::cleanup() {
  delete m_main;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(noWalkRunning());
  m_tree.reset();
  m_environment.reset();
}

QStringList tst_ScanPage::rowPaths(const scan::frmScan* window) const {
  QStringList paths;
  for (int row = 0; row < window->lvScan->topLevelItemCount(); ++row)
    paths << QString::fromStdString(window->rowPath(row)).mid(static_cast<qsizetype>(m_tree->path().size()));
  return paths;
}

void tst_ScanPage::pageHasItsControls() {
  scan::ScanPage* page = m_main->scanPage;
  QCOMPARE(page->Label23->text(), QStringLiteral("Preparation du Scan Système :"));
  QCOMPARE(page->Label2->text(),
           QStringLiteral("Veuillez choisir le scan mode puis cliquez sur suivant pour continuer :"));
  QCOMPARE(page->optScanMODE[0]->text(), QStringLiteral("Scannez tout l'ordinateur"));
  QCOMPARE(page->optScanMODE[1]->text(), QStringLiteral("Selectionnez le répertoire à scanner"));
  QCOMPARE(page->optScanMODE[2]->text(), QStringLiteral("Scan Rapide du système"));
  QVERIFY(page->optScanMODE[0]->isChecked());
  QCOMPARE(page->lblNextBack->Caption(), QStringLiteral("Suivant"));
  for (const char* name : {"Label23", "Label2", "optScanMODE_0", "optScanMODE_1", "optScanMODE_2", "lblNextBack"}) {
    auto* control = m_main->picFrame[1]->findChild<QWidget*>(QString::fromUtf8(name));
    QVERIFY2(control && control->isVisible(), name);
    QVERIFY2(m_main->picFrame[1]->rect().contains(
                 control->geometry().translated(control->parentWidget()->mapTo(m_main->picFrame[1], QPoint()))),
             name);
  }
}

void tst_ScanPage::allDrivesFromSuivantToRepair() {
  clickSuivant();
  scan::frmScan* window = m_main->scanPage->results();
  QVERIFY(window && window->isVisible());
  QCOMPARE(window->parentWidget(), m_main.data());
  QCOMPARE(window->lvScan->topLevelItemCount(), 3 * kHitsPerRoot);
  QCOMPARE(window->lvScan->topLevelItem(0)->text(0), QStringLiteral("DEMO THREAT"));
  QCOMPARE(window->lblOperation->text(), QStringLiteral("Terminé"));
  QCOMPARE(window->lblCurFile->text(), QStringLiteral("-Sacn Terminé-"));
  QCOMPARE(window->lblObjectsScanned->text(), QString::number(kHitsPerRoot * 23));  // the last drive's count
  QCOMPARE(window->lblMaliciousObjects->text(), QString::number(kHitsPerRoot));
  QVERIFY(!window->lblGoAbort->isEnabled());
  QVERIFY(window->lblGoFix->isEnabled());
  QCOMPARE(m_main->lblStatus_Total->text(), QStringLiteral("1"));
  QCOMPARE(core::settings::read(core::settings::Key::LastSystemScan), platform::shortDate());
  QVERIFY(noWalkRunning());

  QTest::mouseClick(window->lblGoFix, Qt::LeftButton);
  QVERIFY(window->Picture2->isVisible());
  QTest::mouseClick(window->Label14, Qt::LeftButton);
  for (int row = 0; row < window->lvScan->topLevelItemCount(); ++row) {
    QCOMPARE(window->rowImage(row), scan::kImageRemoved);
    QVERIFY(!fs::exists(window->rowPath(row)));
  }
  QCOMPARE(m_main->lblStatus_Removed->text(), QString::number(3 * kHitsPerRoot));
  QCOMPARE(m_main->lblStatus_Quarintine->text(), QString::number(3 * kHitsPerRoot));
  QVERIFY(window->isVisible());
  QTest::mouseClick(window->Label14, Qt::LeftButton);
  QVERIFY(!window->isVisible());
}

void tst_ScanPage::customFolderChosenInTheChooser() {
  clickOption(1);
  QVERIFY(m_main->scanPage->optScanMODE[1]->isChecked());
  scan::frmDir* chooser = m_main->scanPage->folderChooser();
  QVERIFY(chooser && chooser->isVisible());
  QCOMPARE(chooser->parentWidget(), m_main.data());
  clickOption(1);
  QCOMPARE(m_main->scanPage->folderChooser(), chooser);  // brought forward, not opened twice
  chooser->Dir1->setPath(*m_tree / "d");
  QTest::mouseClick(chooser->Command1, Qt::LeftButton);
  QCOMPARE(scan::CustomScanFolder(), *m_tree / "d");

  clickSuivant();
  scan::frmScan* window = m_main->scanPage->results();
  QCOMPARE(window->lvScan->topLevelItemCount(), kHitsPerRoot);
  for (const QString& path : rowPaths(window)) QVERIFY2(isUnder(path, "/d"), qPrintable(path));
  QCOMPARE(window->lblOperation->text(), QStringLiteral("Terminé"));
  QCOMPARE(window->lblCurFile->text(), QStringLiteral("-Scan Terminé-"));
}

void tst_ScanPage::cancelledChoiceKeepsTheProgramOpen() {
  clickOption(1);
  QTest::mouseClick(m_main->scanPage->folderChooser()->Command2, Qt::LeftButton);
  clickSuivant();
  QVERIFY(m_main->isVisible());
  scan::frmScan* window = m_main->scanPage->results();
  QCOMPARE(window->lvScan->topLevelItemCount(), 0);
  QCOMPARE(window->lblOperation->text(), QStringLiteral("Terminé"));
  QCOMPARE(window->lblCurFile->text(), QStringLiteral("-Scan Terminé-"));
  QVERIFY(window->lblGoFix->isEnabled());
  QCOMPARE(m_main->lblStatus_Total->text(), QStringLiteral("1"));
}

void tst_ScanPage::quickScanWalksTheWindowsFolder() {
  clickOption(2);
  QVERIFY(m_main->scanPage->optScanMODE[2]->isChecked());
  QVERIFY(!m_main->scanPage->folderChooser());
  clickSuivant();
  scan::frmScan* window = m_main->scanPage->results();
  QCOMPARE(window->lvScan->topLevelItemCount(), kHitsPerRoot);
  for (const QString& path : rowPaths(window)) QVERIFY2(isUnder(path, "/win"), qPrintable(path));
  QCOMPARE(window->lblCurFile->text(), QStringLiteral("-Scan Terminé-"));
}

void tst_ScanPage::annulerFromAYieldEndsTheWholeScan() {
  atFirstYield([this] { QTest::mouseClick(m_main->scanPage->results()->lblGoAbort, Qt::LeftButton); });
  clickSuivant();
  scan::frmScan* window = m_main->scanPage->results();
  QVERIFY(noWalkRunning());
  QVERIFY(window->lvScan->topLevelItemCount() <= 1);  // at most the file pass that was under way
  for (const QString& path : rowPaths(window)) QVERIFY2(isUnder(path, "/c"), qPrintable(path));
  QCOMPARE(window->lblOperation->text(), QStringLiteral("Terminé"));
  QCOMPARE(window->lblCurFile->text(), QStringLiteral("-Sacn Terminé-"));
  QVERIFY(window->lblGoFix->isEnabled());
}

void tst_ScanPage::secondSuivantFromAYieldReplacesTheWindowAndStopsTheWalk() {
  QPointer<scan::frmScan> first;
  atFirstYield([this, &first] {
    first = m_main->scanPage->results();
    clickSuivant();
  });
  clickSuivant();
  QVERIFY(noWalkRunning());
  QCOMPARE(m_main->lblStatus_Total->text(), QStringLiteral("2"));
  scan::frmScan* second = m_main->scanPage->results();
  QVERIFY(second && second != first);
  QVERIFY(second->isVisible());
  QCOMPARE(second->lblCurFile->text(), QStringLiteral("-Sacn Terminé-"));
  QVERIFY(second->lblGoFix->isEnabled());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(first.isNull());
}

void tst_ScanPage::closingTheResultsFromAYieldStopsTheWalk() {
  QPointer<scan::frmScan> window;
  atFirstYield([this, &window] {
    window = m_main->scanPage->results();
    window->close();
  });
  clickSuivant();
  QVERIFY(noWalkRunning());
  QVERIFY(window && !window->isVisible());
  QVERIFY(window->lvScan->topLevelItemCount() < kHitsPerRoot);
  QCOMPARE(window->lblOperation->text(), QStringLiteral("Terminé"));
}

void tst_ScanPage::destroyingTheResultsFromAYieldStopsTheWalk() {
  atFirstYield([this] { delete m_main->scanPage->results(); });
  clickSuivant();
  QVERIFY(noWalkRunning());
  QVERIFY(!m_main->scanPage->results());
  clickSuivant();  // a later scan opens a fresh window
  QCOMPARE(m_main->scanPage->results()->lvScan->topLevelItemCount(), 3 * kHitsPerRoot);
}

void tst_ScanPage::quittingFromAYieldStopsTheWalk() {
  QPointer<scan::frmScan> window;
  atFirstYield([this, &window] {
    window = m_main->scanPage->results();
    QTest::mouseClick(m_main->quit, Qt::LeftButton);
  });
  clickSuivant();
  QVERIFY(noWalkRunning());
  QVERIFY(!m_main->isVisible());
  QVERIFY(window && !window->isVisible());
  QVERIFY(window->lvScan->topLevelItemCount() < kHitsPerRoot);
}

void tst_ScanPage::foldersOpenedWithTheProgramAreScannedInTurn() {
  m_main->scanPage->scanFolders({*m_tree / "d", *m_tree / "win"});
  QVERIFY(m_main->scanPage->optScanMODE[1]->isChecked());
  QPointer<scan::frmScan> first = m_main->scanPage->results();
  QVERIFY(first && first->isVisible());
  for (const QString& path : rowPaths(first)) QVERIFY2(isUnder(path, "/d"), qPrintable(path));
  QCOMPARE(first->lvScan->topLevelItemCount(), kHitsPerRoot);
  QCoreApplication::processEvents();
  QCOMPARE(m_main->scanPage->results(), first.data());  // the next waits for the user

  first->close();
  QTRY_VERIFY(m_main->scanPage->results() != first.data());
  scan::frmScan* second = m_main->scanPage->results();
  QVERIFY(second && second->isVisible());
  for (const QString& path : rowPaths(second)) QVERIFY2(isUnder(path, "/win"), qPrintable(path));
  QCOMPARE(m_main->lblStatus_Total->text(), QStringLiteral("2"));
  second->close();
  QCoreApplication::processEvents();
  QCOMPARE(m_main->scanPage->results(), second);  // no folder left
}

void tst_ScanPage::suivantDropsTheFoldersNotYetScanned() {
  m_main->scanPage->scanFolders({*m_tree / "d", *m_tree / "e"});
  clickOption(2);
  clickSuivant();  // the user's own scan replaces the queue
  scan::frmScan* quick = m_main->scanPage->results();
  for (const QString& path : rowPaths(quick)) QVERIFY2(isUnder(path, "/win"), qPrintable(path));
  quick->close();
  QCoreApplication::processEvents();
  QCOMPARE(m_main->scanPage->results(), quick);
  QCOMPARE(m_main->lblStatus_Total->text(), QStringLiteral("2"));
}

}  // namespace halvik::gui

QTEST_MAIN(halvik::gui::tst_ScanPage)
#include "tst_ScanPage.moc"
