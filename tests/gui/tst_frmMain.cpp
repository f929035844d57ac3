// The main window: load sequence, status values, page switching, the one settings dialog and
// the quarantine count. Every case runs in temporary folders (TestEnvironment).
#include "core/Locations.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "engine/SignatureDb.h"
#include "quarantine/QuarantineStore.h"
#include "support/TestEnvironment.h"
#include "ui/frmMain.h"
#include "ui/frmSettings.h"
#include "widgets/ActionLabel.h"
#include "widgets/FileListBox.h"
#include "widgets/OrventoCmd.h"
#include "widgets/OrventoFrm.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <set>

namespace halvik::gui {

using testing_support::TestEnvironment;

namespace {

template <class Control>
Control* control(const QWidget& window, const QString& name) {
  auto* found = window.findChild<Control*>(name);
  if (!found) qFatal("no control %s", qPrintable(name));
  return found;
}

QString caption(const QWidget& window, const QString& name) { return control<QLabel>(window, name)->text(); }

QColor textColour(const QWidget& window, const QString& name) {
  return control<QLabel>(window, name)->palette().color(QPalette::WindowText);
}

int visiblePage(const ui::frmMain& window) {
  int shown = -1;
  for (int i = 0; i < 5; ++i) {
    if (!control<widgets::Quillet::OrventoFrm>(window, QStringLiteral("picFrame_%1").arg(i))->isVisibleTo(&window))
      continue;
    if (shown != -1) return -2;  // more than one page shown
    shown = i;
  }
  return shown;
}

void click(const QWidget& window, const QString& name) {
  if (auto* label = window.findChild<widgets::ActionLabel*>(name)) {
    QTest::mouseClick(label, Qt::LeftButton);
    return;
  }
  QTest::mouseClick(control<widgets::Quillet::OrventoCmd>(window, name), Qt::LeftButton);
}

void putInQuarantineFolder(const std::string& name) {
  testing_support::writeFile(quarantine::QuarantineFolder() + "/" + name, "x");
}

}  // namespace

class TestFrmMain : public QObject {
  Q_OBJECT

 private slots:
  void firstRunShowsDefaultsAndMakesTheQuarantineFolder();
  void storedCountersAreShownAsStored();
  void loadAdMonitorStartsTheTimerAtFiveSeconds_data();
  void loadAdMonitorStartsTheTimerAtFiveSeconds();
  void anUnwritableProgramFolderStillOpensTheWindow();
  void switchingToTheCurrentPageChangesNothing();
  void buttonsAndLinksShowTheirPages();
  void theQuarantineListIsRebuiltOnlyWhenEnteringItsPage();
  void hiddenFile1ListsTheStoredFiles();
  void bothOpenersShowOneDialog();
  void reopeningAClosedDialogShowsTheStoredValues();
  void quarantineCountFollowsTheFolder();
  void helpPageHoldsTheFaq();
  void quitClosesTheWindowAndItsDialog();
};

void TestFrmMain::firstRunShowsDefaultsAndMakesTheQuarantineFolder() {
  TestEnvironment where;
  ui::frmMain window;

  QCOMPARE(caption(window, "lblStatus_Admonitor"), QStringLiteral("Non chargé"));
  QCOMPARE(textColour(window, "lblStatus_Admonitor"), QColor(255, 0, 0));
  QCOMPARE(caption(window, "lblStatus_System"), QStringLiteral("Jamais"));
  for (const char* name : {"lblStatus_Removed", "lblStatus_Total", "lblStatus_Ignore", "lblStatus_Quarintine"})
    QCOMPARE(caption(window, name), QStringLiteral("0"));
  // No database in this program folder: the row under the design's ones says so, above the links.
  QCOMPARE(caption(window, "lblStatus_Signatures"), QStringLiteral("illisibles"));
  QCOMPARE(textColour(window, "lblStatus_Signatures"), QColor(255, 0, 0));
  QVERIFY(control<QLabel>(window, "lblStatus_Signatures")->geometry().bottom() <
          control<QWidget>(window, "lblGoIgnore")->geometry().top());
  auto* timer = window.findChild<QTimer*>("tmrAdMonitor");
  QVERIFY(timer);
  QVERIFY(!timer->isActive());
  QCOMPARE(timer->interval(), 5000);

  QCOMPARE(window.CurrentFrame(), 0);
  QCOMPARE(visiblePage(window), 0);
  QVERIFY(std::filesystem::is_directory(where.programFolder() + "/Quarintine"));
  QCOMPARE(window.File1Path(), quarantine::QuarantineFolder());
  QCOMPARE(engine::SignatureDb.Path(), where.programFolder() + platform::kSeparator + "scan.dll");
  QVERIFY(window.windowTitle().startsWith(QStringLiteral(" Orvento AntiSpyware ® Version 2.0")));
}

void TestFrmMain::storedCountersAreShownAsStored() {
  TestEnvironment where;
  core::settings::write(core::settings::Key::LastSystemScan, "06/12/2026");
  core::settings::write(core::settings::Key::TotalObjectsRemoved, "12abc");
  // The scan driver writes "Totalscans"; the status page reads "TotalScans": one value.
  core::SettingsStore::SaveSetting(core::kProgramTitle, "Status", "Totalscans", "41");
  ui::frmMain window;

  QCOMPARE(caption(window, "lblStatus_System"), QStringLiteral("06/12/2026"));
  QCOMPARE(caption(window, "lblStatus_Removed"), QStringLiteral("12abc"));
  QCOMPARE(caption(window, "lblStatus_Total"), QStringLiteral("41"));
}

void TestFrmMain::loadAdMonitorStartsTheTimerAtFiveSeconds_data() {
  QTest::addColumn<QString>("stored");
  QTest::addColumn<bool>("started");
  QTest::newRow("one") << "1" << true;
  QTest::newRow("zero") << "0" << false;
  QTest::newRow("one with a space") << " 1" << false;
  QTest::newRow("another word") << "oui" << false;
}

void TestFrmMain::loadAdMonitorStartsTheTimerAtFiveSeconds() {
  QFETCH(QString, stored);
  QFETCH(bool, started);
  TestEnvironment where;
  core::settings::write(core::settings::Key::LoadAdMonitor, stored.toStdString());
  core::settings::write(core::settings::Key::AdMonitorRefresh, "1000");
  ui::frmMain window;

  auto* timer = window.findChild<QTimer*>("tmrAdMonitor");
  QCOMPARE(timer->isActive(), started);
  QCOMPARE(timer->interval(), 5000);
  QCOMPARE(caption(window, "lblStatus_Admonitor"), started ? QStringLiteral("chargé") : QStringLiteral("Non chargé"));
  QCOMPARE(textColour(window, "lblStatus_Admonitor"), started ? QColor(0, 0, 0) : QColor(255, 0, 0));
}

void TestFrmMain::anUnwritableProgramFolderStillOpensTheWindow() {
  TestEnvironment where;
  // A program folder below a plain file can never be created, not even by an administrator.
  testing_support::writeFile(where.root() / "plain-file", "x");
  where->programFolder = where.root() / "plain-file/program";
  core::settings::write(core::settings::Key::TotalObjectsRemoved, "5");
  ui::frmMain window;

  QVERIFY(window.File1Path().empty());
  QCOMPARE(caption(window, "lblStatus_Removed"), QStringLiteral("5"));
  QCOMPARE(caption(window, "lblStatus_Quarintine"), QStringLiteral("0"));
  window.SetCurrentFrame(4);
  QCOMPARE(window.CurrentFrame(), 4);
}

void TestFrmMain::switchingToTheCurrentPageChangesNothing() {
  TestEnvironment where;
  ui::frmMain window;

  click(window, "lblButtonBack_0");
  QCOMPARE(window.CurrentFrame(), 0);
  QCOMPARE(visiblePage(window), 0);

  window.SetCurrentFrame(3);
  auto* help = control<widgets::Quillet::OrventoFrm>(window, "picFrame_3");
  help->setVisible(false);  // a page state only SetCurrentFrame may change...
  window.SetCurrentFrame(3);
  QVERIFY(!help->isVisibleTo(&window));  // ...and a switch to the current page does not touch it

  window.SetCurrentFrame(7);
  window.SetCurrentFrame(-1);
  QCOMPARE(window.CurrentFrame(), 3);
}

void TestFrmMain::buttonsAndLinksShowTheirPages() {
  TestEnvironment where;
  ui::frmMain window;
  const std::pair<const char*, int> steps[] = {{"lblButtonBack_1", 1}, {"lblButtonBack_2", 2}, {"imgButton_4", 3},
                                               {"imgButton_2", 4},     {"lblButtonBack_0", 0}, {"lblGoQuarintine", 4},
                                               {"lblGoIgnore", 4},     {"lblStatusReset", 4}};
  for (const auto& [name, page] : steps) {
    click(window, name);
    QCOMPARE(window.CurrentFrame(), page);
    QCOMPARE(visiblePage(window), page);
  }
}

void TestFrmMain::theQuarantineListIsRebuiltOnlyWhenEnteringItsPage() {
  TestEnvironment where;
  ui::frmMain window;
  auto* list = control<QTreeWidget>(window, "lvQuarintine");
  putInQuarantineFolder("first.exe.aaq");

  click(window, "imgButton_2");
  QCOMPARE(list->topLevelItemCount(), 1);
  putInQuarantineFolder("second.exe.aaq");
  click(window, "imgButton_2");  // already on the page: the list stays as it was
  QCOMPARE(list->topLevelItemCount(), 1);

  click(window, "lblButtonBack_0");
  click(window, "imgButton_2");
  QCOMPARE(list->topLevelItemCount(), 2);
  QCOMPARE(caption(window, "lblStatus_Quarintine"), QStringLiteral("2"));
}

void TestFrmMain::hiddenFile1ListsTheStoredFiles() {
  TestEnvironment where;
  quarantine::EnsureQuarantineFolder();
  putInQuarantineFolder("first.exe.aaq");
  putInQuarantineFolder("notes.txt");
  putInQuarantineFolder("LOUD.AAQ");
  std::filesystem::create_directory(quarantine::QuarantineFolder() + "/folder.aaq");
  ui::frmMain window;
  window.show();
  auto* file1 = window.findChild<widgets::FileListBox*>("File1");
  QVERIFY(file1);
  QVERIFY(!file1->isVisible());
  QCOMPARE(file1->Path(), quarantine::QuarantineFolder());
  QCOMPARE(file1->Pattern(), std::string("*.aaq"));
  QCOMPARE(file1->count(), 2);
  // Listed in the file system's order, which differs between systems.
  std::set<std::string> listed{file1->fileName(0), file1->fileName(1)};
  QCOMPARE(listed, (std::set<std::string>{"LOUD.AAQ", "first.exe.aaq"}));

  putInQuarantineFolder("second.exe.aaq");
  QCOMPARE(file1->count(), 2);  // shown as at its last refresh
  click(window, "imgButton_2");
  QCOMPARE(file1->count(), 3);
}

void TestFrmMain::bothOpenersShowOneDialog() {
  TestEnvironment where;
  ui::frmMain window;
  window.show();
  QVERIFY(!window.findChild<ui::frmSettings*>());

  click(window, "imgButton_1");
  auto* dialog = window.settingsDialog();
  QVERIFY(dialog);
  QVERIFY(dialog->isVisible());
  QVERIFY(!dialog->isModal());
  QCOMPARE(dialog->parentWidget(), &window);
  dialog->Check2->setChecked(true);  // not saved: showing it again must keep what the user does

  window.SetCurrentFrame(2);
  click(window, "lblGoSettings");  // the monitor page's "Configuration" link
  QCOMPARE(window.settingsDialog(), dialog);
  QCOMPARE(window.findChildren<ui::frmSettings*>().size(), 1);
  QVERIFY(dialog->Check2->isChecked());
}

void TestFrmMain::reopeningAClosedDialogShowsTheStoredValues() {
  TestEnvironment where;
  ui::frmMain window;
  window.show();
  window.showSettings();
  ui::frmSettings* dialog = window.settingsDialog();
  dialog->Check7->setChecked(true);
  dialog->close();

  window.showSettings();
  QCOMPARE(window.settingsDialog(), dialog);
  QVERIFY(!dialog->Check7->isChecked());
}

void TestFrmMain::quarantineCountFollowsTheFolder() {
  TestEnvironment where;
  quarantine::EnsureQuarantineFolder();
  putInQuarantineFolder("setup.exe.aaq");
  putInQuarantineFolder("BAD.DLL.AAQ");
  putInQuarantineFolder("notes.txt");  // not a stored file
  ui::frmMain window;
  QCOMPARE(caption(window, "lblStatus_Quarintine"), QStringLiteral("2"));

  putInQuarantineFolder("third file.aaq");
  QCOMPARE(caption(window, "lblStatus_Quarintine"), QStringLiteral("2"));
  window.refreshQuarantineCount();
  QCOMPARE(caption(window, "lblStatus_Quarintine"), QStringLiteral("3"));

  std::filesystem::remove(quarantine::QuarantineFolder() + "/setup.exe.aaq");
  std::filesystem::remove(quarantine::QuarantineFolder() + "/BAD.DLL.AAQ");
  window.refreshQuarantineCount();
  QCOMPARE(caption(window, "lblStatus_Quarintine"), QStringLiteral("1"));
  QCOMPARE(caption(window, "lblStatus_Ignore"), QStringLiteral("0"));
}

void TestFrmMain::helpPageHoldsTheFaq() {
  TestEnvironment where;
  ui::frmMain window;
  auto* help = control<QPlainTextEdit>(window, "Text2");
  QVERIFY(help->isReadOnly());
  QCOMPARE(help->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  const QString text = help->toPlainText();
  QVERIFY(text.size() > 1400 && text.size() < 1800);
  for (const char* question :
       {"Q. C'est quoi Orvento Halvik 2007 ?", "Q. Qui est l'auteur de ce logiciel ?",
        "Q. Es ce que j'aurais besoin si j'utilise un Antivirus ?", "Q. Où sont ces fichiers dangereux ?",
        "Q. C'est quoi le Moniteur active ?", "Q. Comment scanner mon ordinateur ?"})
    QVERIFY2(text.contains(QString::fromUtf8(question)), question);
}

void TestFrmMain::quitClosesTheWindowAndItsDialog() {
  TestEnvironment where;
  ui::frmMain window;
  window.show();
  window.showSettings();
  click(window, "quit");
  QVERIFY(!window.isVisible());
  QVERIFY(!window.settingsDialog()->isVisible());  // owned windows close with the main window
}

}  // namespace halvik::gui

QTEST_MAIN(halvik::gui::TestFrmMain)
#include "tst_frmMain.moc"
