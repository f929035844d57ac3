#include "scan/frmDir.h"

#include "core/Locations.h"
#include "core/Settings.h"
#include "scan/FolderList.h"
#include "scan/ScanPresenter.h"
#include "support/TestEnvironment.h"
#include "widgets/OrventoCmd.h"

#include <QComboBox>
#include <QPointer>
#include <QTest>

#include <filesystem>

namespace halvik::gui {

using namespace testing_support;
namespace fs = std::filesystem;

class tst_frmDir : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void hasItsCaptionControlsAndAccessKeys();
  void okStoresTheOpenFolderNotTheHighlightedOneAndLogsIt();
  void doubleClickAndEnterOpenAFolder();
  void annulerStoresTheCancelMarker();
  void closeBoxLeavesTheChoiceAlone();
  void driveThatCannotBeListedLeavesTheFolderList();

 private:
  scan::frmDir* open();
  int rowOf(const std::string& path) const;
  static std::string todaysLog();

  std::unique_ptr<TestEnvironment> m_environment;
  std::unique_ptr<TempFolder> m_tree;
  QPointer<scan::frmDir> m_window;
};

void tst_frmDir::init() {
  m_environment = std::make_unique<TestEnvironment>();
  m_tree = std::make_unique<TempFolder>();
  core::settings::write(core::settings::Key::LogFile, "1");
  for (const char* folder : {"alpha", "beta", "beta/inner"}) fs::create_directories(*m_tree / folder);
  const std::string root = m_tree->path();
  (*m_environment)->drives = [root] { return std::vector<std::string>{root, root + "/no-such-drive"}; };
  scan::setCustomScanFolder("");
}

void tst_frmDir::cleanup() {
  delete m_window;
  m_tree.reset();
  m_environment.reset();
}

scan::frmDir* tst_frmDir::open() {
  m_window = new scan::frmDir;
  m_window->show();
  m_window->Dir1->setPath(m_tree->path());
  return m_window;
}

int tst_frmDir::rowOf(const std::string& path) const {
  for (int row = 0; row < m_window->Dir1->count(); ++row) {
    const QByteArray bytes = m_window->Dir1->item(row)->data(Qt::UserRole).toByteArray();
    if (bytes == QByteArray::fromStdString(path)) return row;
  }
  return -1;
}

std::string tst_frmDir::todaysLog() {
  std::string all;
  const std::string logs = core::programFile("Logs");
  if (fs::exists(logs))
    for (const auto& file : fs::directory_iterator(logs)) all += readFile(file.path().string());
  return all;
}

void tst_frmDir::hasItsCaptionControlsAndAccessKeys() {
  scan::frmDir* window = open();
  QCOMPARE(window->windowTitle(), QStringLiteral("Selectionnez un répertoire..."));
  QCOMPARE(window->Command1->Caption(), QStringLiteral("&Ok"));
  QCOMPARE(window->Command2->Caption(), QStringLiteral("&Annuler"));
  QCOMPARE(window->Command1->shortcut(), QKeySequence::mnemonic(QStringLiteral("&Ok")));
  QCOMPARE(window->Command2->shortcut(), QKeySequence::mnemonic(QStringLiteral("&Annuler")));
  QCOMPARE(window->Drive1->count(), 2);
  QVERIFY(window->findChild<QWidget*>(QStringLiteral("Dir1")));
  QVERIFY(rowOf(*m_tree / "alpha") >= 0);
  QVERIFY(rowOf(*m_tree / "beta/inner") < 0);  // only the open folder's own subfolders are listed
}

void tst_frmDir::okStoresTheOpenFolderNotTheHighlightedOneAndLogsIt() {
  scan::frmDir* window = open();
  window->Dir1->setCurrentRow(rowOf(*m_tree / "alpha"));  // a single click only highlights
  QTest::mouseClick(window->Command1, Qt::LeftButton);
  QCOMPARE(scan::CustomScanFolder(), m_tree->path());
  QVERIFY(todaysLog().find(m_tree->path() + " selected for custom scan") != std::string::npos);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(m_window.isNull());  // closed and deleted
}

void tst_frmDir::doubleClickAndEnterOpenAFolder() {
  scan::frmDir* window = open();
  scan::FolderList* list = window->Dir1;
  const QRect beta = list->visualItemRect(list->item(rowOf(*m_tree / "beta")));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, beta.center());  // the first click of a double click
  QCOMPARE(list->Path(), m_tree->path());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, beta.center());
  QCOMPARE(list->Path(), *m_tree / "beta");
  list->setCurrentRow(rowOf(*m_tree / "beta/inner"));
  QTest::keyClick(list, Qt::Key_Return);
  QCOMPARE(list->Path(), *m_tree / "beta/inner");
  QTest::mouseClick(window->Command1, Qt::LeftButton);
  QCOMPARE(scan::CustomScanFolder(), *m_tree / "beta/inner");
}

void tst_frmDir::annulerStoresTheCancelMarker() {
  scan::setCustomScanFolder("/chosen/before");
  scan::frmDir* window = open();
  QTest::mouseClick(window->Command2, Qt::LeftButton);
  QCOMPARE(scan::CustomScanFolder(), std::string("(CANCEL)"));
  QVERIFY(todaysLog().find("selected for custom scan") == std::string::npos);
}

void tst_frmDir::closeBoxLeavesTheChoiceAlone() {
  scan::setCustomScanFolder("/chosen/before");
  open()->close();
  QCOMPARE(scan::CustomScanFolder(), std::string("/chosen/before"));
}

void tst_frmDir::driveThatCannotBeListedLeavesTheFolderList() {
  scan::frmDir* window = open();
  window->Dir1->setPath(*m_tree / "alpha");
  window->Drive1->setCurrentIndex(1);
  QCOMPARE(window->Dir1->Path(), *m_tree / "alpha");
  window->Drive1->setCurrentIndex(0);
  QCOMPARE(window->Dir1->Path(), m_tree->path());
}

}  // namespace halvik::gui

QTEST_MAIN(halvik::gui::tst_frmDir)
#include "tst_frmDir.moc"
