#include "core/Locations.h"
#include "core/Settings.h"
#include "platform/Platform.h"
#include "quarantine/QuarantineStore.h"
#include "quarantine/SaveDialog.h"
#include "scan/ScanPresenter.h"
#include "support/TestEnvironment.h"
#include "ui/frmMain.h"
#include "widgets/ActionLabel.h"
#include "widgets/OrventoCmd.h"

#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <map>

namespace halvik::gui {

using testing_support::readFile;
using testing_support::TestEnvironment;
using testing_support::writeFile;

// The whole road of a detected file through the real windows: a custom scan with "Quarintine"
// on, the repair pass, the quarantine page, a restore and a delete.
class QuarantineRoadTest : public QObject {
  Q_OBJECT

 private slots:
  void detectedFilesAreQuarantinedRestoredAndDeleted() {
    TestEnvironment environment;
    for (const char* database : {"scan.dll", "REFERENCE_6-27-03.dat"})
      writeFile(core::programFile(database), "[Scanfiles]\r\nEVIL.EXE=Trojan.Evil\r\n");
    QVERIFY(core::settings::write(core::settings::Key::Quarintine, "1"));
    const std::string scanned = environment.root() / "scanned";
    // Paths as the walk writes them, with the system's separator.
    const auto under = [&](const char* folder) {
      return scanned + platform::kSeparator + folder + platform::kSeparator + "evil.exe";
    };
    const std::map<std::string, std::string> planted = {{under("first"), "first copy"},
                                                        {under("second"), "second copy, longer"}};
    for (const auto& [path, content] : planted) {
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      writeFile(path, content);
    }
    writeFile(scanned + "/first/clean.txt", "clean");

    ui::frmMain main;
    main.show();  // the walk runs only while the results window, owned by this one, is visible
    scan(main, scanned);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(main.lblStatus_Total->text(), QStringLiteral("1"));
    QCOMPARE(main.lblStatus_Removed->text(), QStringLiteral("2"));
    QCOMPARE(main.lblStatus_Quarintine->text(), QStringLiteral("2"));
    for (const auto& [path, content] : planted) QVERIFY(!std::filesystem::exists(path));
    QCOMPARE(readFile(scanned + "/first/clean.txt"), std::string("clean"));

    // Both copies are listed, each under the threat name and with its own size.
    main.imgButton[2]->click();
    auto* list = main.findChild<QTreeWidget*>(QStringLiteral("lvQuarintine"));
    QCOMPARE(list->topLevelItemCount(), 2);
    std::map<std::string, std::string> origin;  // stored name -> the planted path it came from
    for (int row = 0; row < 2; ++row) {
      const QTreeWidgetItem* item = list->topLevelItem(row);
      const std::string stored = item->data(0, Qt::UserRole).toByteArray().toStdString();
      const std::string content = readFile(quarantine::QuarantineFolder() + "/" + stored);
      QCOMPARE(item->text(1), QStringLiteral("Trojan.Evil"));
      QCOMPARE(item->text(2), QString::number(content.size()));
      for (const auto& [path, plantedContent] : planted)
        if (plantedContent == content) origin[stored] = path;
    }
    QCOMPARE(origin.size(), std::size_t(2));
    for (const auto& [stored, path] : origin) {
      const auto record = quarantine::QuarantineRecordOf(stored);
      QVERIFY(record);
      QCOMPARE(record->originalPath, path);
      QCOMPARE(record->threatName, std::string("TROJAN.EVIL"));
    }

    // Restore the first row to where it came from, delete the second.
    const std::string restored = list->topLevelItem(0)->data(0, Qt::UserRole).toByteArray().toStdString();
    const std::string deleted = list->topLevelItem(1)->data(0, Qt::UserRole).toByteArray().toStdString();
    auto* dialog = main.findChild<quarantine::SaveDialog*>(QStringLiteral("CdRestore"));
    QString proposed;
    dialog->choosePath = [&](const QString&, const QString& proposedPath) {
      proposed = proposedPath;
      return QFile::decodeName(QByteArray::fromStdString(origin[restored]));
    };
    list->topLevelItem(0)->setSelected(true);
    main.findChild<widgets::Quillet::OrventoCmd*>(QStringLiteral("Label18"))->click();
    list->topLevelItem(0)->setSelected(true);
    main.findChild<widgets::Quillet::OrventoCmd*>(QStringLiteral("Label17"))->click();

    QCOMPARE(proposed, QFile::decodeName(QByteArray::fromStdString(origin[restored])));
    QCOMPARE(readFile(origin[restored]), planted.at(origin[restored]));
    QVERIFY(!std::filesystem::exists(origin[deleted]));
    QVERIFY(quarantine::ListQuarantine().empty());
    QVERIFY(!std::filesystem::exists(quarantine::QuarantineFolder() + "/" + restored));
    QVERIFY(!std::filesystem::exists(quarantine::QuarantineFolder() + "/" + deleted));
    QVERIFY(!quarantine::readQuarantineRecord(quarantine::QuarantineFolder(), restored));
    QVERIFY(!quarantine::readQuarantineRecord(quarantine::QuarantineFolder(), deleted));
    QCOMPARE(list->topLevelItemCount(), 0);
    QCOMPARE(main.lblStatus_Quarintine->text(), QStringLiteral("0"));
    QCOMPARE(main.lblStatus_Removed->text(), QStringLiteral("2"));
    QCOMPARE(main.lblStatus_Total->text(), QStringLiteral("1"));
  }

 private:
  // Scans `folder` from the scan page, confirms the results and runs the repair pass.
  static void scan(ui::frmMain& main, const std::string& folder) {
    main.lblButtonBack[1]->click();
    main.findChild<QRadioButton*>(QStringLiteral("optScanMODE_1"))->setChecked(true);
    scan::setCustomScanFolder(folder);
    main.findChild<widgets::Quillet::OrventoCmd*>(QStringLiteral("lblNextBack"))->click();

    QCOMPARE(main.findChild<QTreeWidget*>(QStringLiteral("lvScan"))->topLevelItemCount(), 2);
    QTest::mouseClick(main.findChild<widgets::ActionLabel*>(QStringLiteral("lblGoFix")), Qt::LeftButton);
    QTest::mouseClick(main.findChild<widgets::ActionLabel*>(QStringLiteral("Label14")), Qt::LeftButton);
  }
};

}  // namespace halvik::gui

QTEST_MAIN(halvik::gui::QuarantineRoadTest)
#include "tst_QuarantineRoad.moc"
