// The settings dialog: each control shows and stores its own value (the truth rules are
// SettingsPresenter's, tested in tests/ui), a save applies the timer period and the start-up
// entry (in a temporary autostart folder) in its order, and "Annuler".
#include "core/Locations.h"
#include "core/RegistryStuff.h"
#include "core/Settings.h"
#include "support/TestEnvironment.h"
#include "ui/frmSettings.h"
#include "widgets/ActionLabel.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>

#ifdef _WIN32
#include <windows.h>

#endif

namespace halvik::gui {

using testing_support::TestEnvironment;

namespace {

// A dialog over a monitor timer, as the main window owns them.
struct Fixture {
  Fixture() {
    timer.setInterval(5000);
    dialog = std::make_unique<ui::frmSettings>(timer, nullptr);
  }
  void open() {
    dialog->loadValues();
    dialog->show();
  }
  void save() { QTest::mouseClick(dialog->findChild<widgets::ActionLabel*>("Label3"), Qt::LeftButton); }
  // Ticks "Lancer au démarrage" and "Enregistrer au fichier Log" and saves, in one go.
  void saveWithStartupAndLogging() {
    open();
    box("Check1")->setChecked(true);
    box("Check2")->setChecked(true);
    save();
  }
  void cancel() { QTest::mouseClick(dialog->findChild<widgets::ActionLabel*>("Label17"), Qt::LeftButton); }
  QCheckBox* box(const char* name) const { return dialog->findChild<QCheckBox*>(name); }
  QRadioButton* option(int number) const {
    return dialog->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(number));
  }
  int selectedOption() const {
    for (int number = 1; number <= 4; ++number)
      if (option(number)->isChecked()) return number;
    return 0;
  }

  QTimer timer;
  std::unique_ptr<ui::frmSettings> dialog;
};

#ifdef _WIN32
// The start-up entry: on Windows the value "bobbypin" of the machine's Run key; nullopt when absent.
std::optional<std::string> startupEntry() {
  char data[1024];
  DWORD size = sizeof data;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, core::RegistryStuff::kRunKey, core::RegistryStuff::kRunValueName, RRF_RT_REG_SZ,
                   nullptr, data, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(data);
}
#else
// The start-up entry: on Linux an autostart file in the (temporary) autostart folder.
std::optional<std::string> startupEntry() {
  const std::string path = platform::environment().autostartFolder + "/bobbypin.desktop";
  if (!std::filesystem::exists(path)) return std::nullopt;
  return testing_support::readFile(path);
}
#endif

// Every line of every log file in the program folder's "Logs" folder.
std::string logText() {
  std::string text;
  const std::filesystem::path folder = platform::environment().programFolder + "/Logs";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    text += testing_support::readFile(entry.path().string());
  return text;
}

const char* const kBoxes[] = {"Check1", "Check2", "Check3", "Check7", "Check8"};
const core::settings::Key kBoxSettings[] = {core::settings::Key::RunOnStartup, core::settings::Key::LogFile,
                                            core::settings::Key::Quarintine, core::settings::Key::IExplore,
                                            core::settings::Key::LoadAdMonitor};

}  // namespace

class TestFrmSettings : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void designTimeState();
  void eachBoxShowsItsOwnValue();
  void eachOptionShowsItsPeriod_data();
  void eachOptionShowsItsPeriod();
  void saveStoresEveryValueAndTheTimerPeriod_data();
  void saveStoresEveryValueAndTheTimerPeriod();
  void startupEntryIsWrittenAndRemoved();
  void startupLogLineFollowsTheLoggingInForceBefore();
  void anUnwritableAutostartFolderFailsSilently();
  void cancelStoresNothing();
};

// Each case starts without a start-up entry: on Linux every case has an autostart folder of its
// own, on Windows the entry is one value of the machine's Run key, removed here.
void TestFrmSettings::init() {
#ifdef _WIN32
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, core::RegistryStuff::kRunKey, core::RegistryStuff::kRunValueName);
#endif
}

void TestFrmSettings::designTimeState() {
  TestEnvironment where;
  Fixture fixture;
  QCOMPARE(fixture.dialog->windowTitle(), QStringLiteral("Orvento Halvik 2.0  - Configuration"));
  QVERIFY(!fixture.dialog->isModal());
  for (const char* name : kBoxes) QVERIFY(!fixture.box(name)->isChecked());
  QCOMPARE(fixture.selectedOption(), 2);
  QCOMPARE(fixture.dialog->findChild<widgets::ActionLabel*>("Label3")->text(), QStringLiteral("Sauvgardez"));
  QCOMPARE(fixture.dialog->findChild<widgets::ActionLabel*>("Label17")->text(), QStringLiteral("Annuler"));
}

void TestFrmSettings::eachBoxShowsItsOwnValue() {
  for (std::size_t ticked = 0; ticked < std::size(kBoxes); ++ticked) {
    TestEnvironment where;
    // Stored for every box: "Quarintine" is on when nothing is stored.
    for (std::size_t i = 0; i < std::size(kBoxes); ++i) core::settings::write(kBoxSettings[i], i == ticked ? "1" : "0");
    Fixture fixture;
    fixture.open();
    for (std::size_t i = 0; i < std::size(kBoxes); ++i) QCOMPARE(fixture.box(kBoxes[i])->isChecked(), i == ticked);
  }
}

void TestFrmSettings::eachOptionShowsItsPeriod_data() {
  QTest::addColumn<QString>("stored");
  QTest::addColumn<int>("option");
  QTest::newRow("slow") << "10000" << 1;
  QTest::newRow("normal") << "5000" << 2;
  QTest::newRow("fast") << "3000" << 3;
  QTest::newRow("real time") << "1000" << 4;
}

void TestFrmSettings::eachOptionShowsItsPeriod() {
  QFETCH(QString, stored);
  QFETCH(int, option);
  TestEnvironment where;
  core::settings::write(core::settings::Key::AdMonitorRefresh, stored.toStdString());
  Fixture fixture;
  fixture.option(option == 3 ? 4 : 3)->setChecked(true);  // what an earlier opening left selected, then cancelled
  fixture.open();
  QCOMPARE(fixture.selectedOption(), option);
}

void TestFrmSettings::saveStoresEveryValueAndTheTimerPeriod_data() {
  QTest::addColumn<bool>("ticked");
  QTest::addColumn<int>("option");
  QTest::addColumn<QString>("period");
  QTest::addColumn<bool>("monitorOn");
  QTest::newRow("all ticked, slow, monitor off") << true << 1 << "10000" << false;
  QTest::newRow("none ticked, real time, monitor on") << false << 4 << "1000" << true;
  QTest::newRow("none ticked, fast, monitor off") << false << 3 << "3000" << false;
}

void TestFrmSettings::saveStoresEveryValueAndTheTimerPeriod() {
  QFETCH(bool, ticked);
  QFETCH(int, option);
  QFETCH(QString, period);
  QFETCH(bool, monitorOn);
  TestEnvironment where;
  Fixture fixture;
  if (monitorOn) fixture.timer.start();
  fixture.open();
  for (const char* name : kBoxes) fixture.box(name)->setChecked(ticked);
  fixture.option(option)->setChecked(true);
  fixture.save();

  for (const core::settings::Key key : kBoxSettings)
    QCOMPARE(core::settings::read(key), std::string(ticked ? "1" : "0"));
  QCOMPARE(QString::fromStdString(core::settings::read(core::settings::Key::AdMonitorRefresh)), period);
  QCOMPARE(fixture.timer.interval(), period.toInt());
  QCOMPARE(fixture.timer.isActive(), monitorOn);  // ticking "Lancer au démarrage" of the monitor does not start it now
  QVERIFY(!fixture.dialog->isVisible());
}

void TestFrmSettings::startupEntryIsWrittenAndRemoved() {
  TestEnvironment where;
  core::settings::write(core::settings::Key::LogFile, "1");
  Fixture fixture;
  fixture.saveWithStartupAndLogging();
  QCOMPARE(core::settings::read(core::settings::Key::RunOnStartup), std::string("1"));
  QVERIFY(startupEntry());
  const std::string entry = *startupEntry();
  QVERIFY2(entry.find(where.programFolder() + platform::kSeparator + "Sentrel.exe") != std::string::npos,
           entry.c_str());
  QVERIFY(logText().find("Running on startup...") != std::string::npos);

  fixture.open();
  QVERIFY(fixture.box("Check1")->isChecked());
  fixture.box("Check1")->setChecked(false);
  fixture.save();
  QCOMPARE(core::settings::read(core::settings::Key::RunOnStartup), std::string("0"));
  QVERIFY(!startupEntry());

  fixture.open();  // unticked again: removing an entry that does not exist is logged all the same
  fixture.save();
  const std::string log = logText();
  const auto first = log.find("Removed from startup...");
  QVERIFY(first != std::string::npos);
  QVERIFY(log.find("Removed from startup...", first + 1) != std::string::npos);
}

void TestFrmSettings::startupLogLineFollowsTheLoggingInForceBefore() {
  TestEnvironment where;
  Fixture fixture;
  fixture.saveWithStartupAndLogging();
  QVERIFY(startupEntry());
  QCOMPARE(core::settings::read(core::settings::Key::LogFile), std::string("1"));
  QVERIFY(logText().find("Running on startup...") == std::string::npos);
}

void TestFrmSettings::anUnwritableAutostartFolderFailsSilently() {
  TestEnvironment where;
  testing_support::writeFile(where.root() / "plain-file", "x");
  where->autostartFolder = where.root() / "plain-file/autostart";
  core::settings::write(core::settings::Key::LogFile, "1");
  Fixture fixture;
  fixture.saveWithStartupAndLogging();
  QCOMPARE(core::settings::read(core::settings::Key::RunOnStartup), std::string("1"));
  QVERIFY(logText().find("Running on startup...") != std::string::npos);
  QVERIFY(!fixture.dialog->isVisible());
}

void TestFrmSettings::cancelStoresNothing() {
  TestEnvironment where;
  Fixture fixture;
  fixture.timer.setInterval(3000);
  fixture.open();
  for (const char* name : kBoxes) fixture.box(name)->setChecked(true);
  fixture.option(4)->setChecked(true);
  fixture.cancel();

  QVERIFY(!fixture.dialog->isVisible());
  QVERIFY(!std::filesystem::exists(platform::environment().settingsFile));
  QVERIFY(!startupEntry());
  QCOMPARE(fixture.timer.interval(), 3000);
  QVERIFY(!fixture.timer.isActive());
}

}  // namespace halvik::gui

QTEST_MAIN(halvik::gui::TestFrmSettings)
#include "tst_frmSettings.moc"
