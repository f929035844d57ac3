#include "core/Locations.h"
#include "quarantine/QuarantinePage.h"
#include "quarantine/QuarantineStore.h"
#include "quarantine/SaveDialog.h"
#include "support/QuarantineFile.h"
#include "support/TestEnvironment.h"
#include "ui/frmMain.h"
#include "widgets/OrventoCmd.h"

#include <QFile>
#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <memory>

namespace halvik::gui {

using testing_support::readFile;
using testing_support::TestEnvironment;
using testing_support::writeFile;

namespace {

// The main window over a temporary program folder that holds the signature databases, with the
// quarantine page's controls found by their object names and the save dialog answered by the test.
struct Window {
  Window() {
    for (const char* database : {"scan.dll", "REFERENCE_6-27-03.dat"})
      writeFile(core::programFile(database), "[Scanfiles]\r\nBAD.DLL=Trojan.BadDll\r\n");
    main = std::make_unique<ui::frmMain>();
    list = main->findChild<QTreeWidget*>(QStringLiteral("lvQuarintine"));
    restore = main->findChild<widgets::Quillet::OrventoCmd*>(QStringLiteral("Label18"));
    remove = main->findChild<widgets::Quillet::OrventoCmd*>(QStringLiteral("Label17"));
    auto* dialog = main->findChild<quarantine::SaveDialog*>(QStringLiteral("CdRestore"));
    dialog->choosePath = [this](const QString& title, const QString& proposed) {
      titles << title;
      proposals << proposed;
      return answers.isEmpty() ? QString() : answers.takeFirst();
    };
    dialog->confirmReplace = [this](const QString&) {
      ++replaceQuestions;
      return replaceAnswer;
    };
  }

  std::string stored(const std::string& name) const { return quarantine::QuarantineFolder() + "/" + name; }
  std::string outside(const std::string& name) const { return environment.root() / name; }

  // Enters the quarantine page from another page, as the user does.
  void open() {
    if (main->CurrentFrame() == 4) main->SetCurrentFrame(0);
    main->findChild<widgets::Quillet::OrventoCmd*>(QStringLiteral("imgButton_2"))->click();
  }

  QString text(int row, int column) const { return list->topLevelItem(row)->text(column); }

  int rowOf(const std::string& storedName) const {
    for (int row = 0; row < list->topLevelItemCount(); ++row)
      if (list->topLevelItem(row)->data(0, Qt::UserRole).toByteArray().toStdString() == storedName) return row;
    return -1;
  }

  void select(const std::string& storedName) { list->topLevelItem(rowOf(storedName))->setSelected(true); }

  QString quarantineCount() const { return main->lblStatus_Quarintine->text(); }

  TestEnvironment environment;  // before the window, which reads it while it loads
  std::unique_ptr<ui::frmMain> main;
  QTreeWidget* list = nullptr;
  widgets::Quillet::OrventoCmd* restore = nullptr;
  widgets::Quillet::OrventoCmd* remove = nullptr;
  QStringList titles;
  QStringList proposals;
  QStringList answers;
  bool replaceAnswer = false;
  int replaceQuestions = 0;
};

QString shown(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string everyByte() {
  std::string bytes;
  for (int repeat = 0; repeat < 300; ++repeat)
    for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
  return bytes;
}

}  // namespace

class QuarantinePageTest : public QObject {
  Q_OBJECT

 private slots:
  void emptyQuarantineGivesAnEmptyListAndInertCommands() {
    Window window;
    window.open();
    QCOMPARE(window.list->columnCount(), 3);
    const QTreeWidgetItem* header = window.list->headerItem();
    QCOMPARE(header->text(0), QStringLiteral("File Name"));
    QCOMPARE(header->text(1), QStringLiteral("File Type"));
    QCOMPARE(header->text(2), QStringLiteral("Compressed Size"));
    QCOMPARE(window.list->topLevelItemCount(), 0);
    window.restore->click();
    window.remove->click();
    QVERIFY(window.titles.isEmpty());
    QCOMPARE(window.quarantineCount(), QStringLiteral("0"));
  }

  void missingOrUnreadableFolderGivesAnEmptyList() {
    Window window;
    writeFile(window.stored("a.exe.aaq"), "a");
    window.open();
    QCOMPARE(window.list->topLevelItemCount(), 1);

    std::filesystem::remove_all(quarantine::QuarantineFolder());
    window.open();
    QCOMPARE(window.list->topLevelItemCount(), 0);

    writeFile(quarantine::QuarantineFolder(), "a file where the folder should be");
    window.open();
    QCOMPARE(window.list->topLevelItemCount(), 0);
  }

  void listsStoredFilesWithThreatNamesAndPlainSizes() {
    Window window;
    writeFile(window.stored("bad.dll.aaq"), std::string(1234567, 'x'));
    writeFile(window.stored("notes.txt.aaq"), "");
    writeFile(window.stored("notes.txt"), "not a stored file");
    window.open();

    QCOMPARE(window.list->topLevelItemCount(), 2);
    QCOMPARE(window.text(0, 0), QStringLiteral("bad.dll.aaq"));
    QCOMPARE(window.text(0, 1), QStringLiteral("Trojan.BadDll"));
    QCOMPARE(window.text(0, 2), QStringLiteral("1234567"));
    QCOMPARE(window.text(1, 0), QStringLiteral("notes.txt.aaq"));
    QCOMPARE(window.text(1, 1), QString());
    QCOMPARE(window.text(1, 2), QStringLiteral("0"));
    QVERIFY(window.list->topLevelItem(0)->icon(0).isNull());
    QCOMPARE(window.list->selectionMode(), QAbstractItemView::SingleSelection);
  }

  void restoreCopiesTheFileBackAndDropsItsRow() {
    Window window;
    const std::string content = everyByte();
    writeFile(window.stored("bad.dll.aaq"), content);
    writeFile(window.stored("other.exe.aaq"), "other");
    window.open();
    QCOMPARE(window.quarantineCount(), QStringLiteral("2"));

    window.select("bad.dll.aaq");
    window.answers << shown(window.outside("restored.dll"));
    window.restore->click();

    QCOMPARE(window.titles, QStringList{QStringLiteral("Restore to where?")});
    QCOMPARE(window.proposals, QStringList{QStringLiteral("bad.dll")});
    QVERIFY(readFile(window.outside("restored.dll")) == content);
    QVERIFY(!std::filesystem::exists(window.stored("bad.dll.aaq")));
    QCOMPARE(window.list->topLevelItemCount(), 1);
    QCOMPARE(window.text(0, 0), QStringLiteral("other.exe.aaq"));
    QVERIFY(window.list->selectedItems().isEmpty());
    QCOMPARE(window.quarantineCount(), QStringLiteral("1"));
  }

  void restoreProposesTheRecordedFullPathAndGivesBackItsMode() {
    Window window;
    const std::string folder = window.outside("caf\xe9 \xff folder");
    std::filesystem::create_directories(folder);
    const std::string original = folder + platform::kSeparator + "bad.dll";
    writeFile(original, "payload");
    const auto mode = std::filesystem::perms(0750);
    std::filesystem::permissions(original, mode);
    QVERIFY(testing_support::quarantineFile(original, "Trojan.BadDll"));
    std::filesystem::remove(original);
    window.open();
    QCOMPARE(window.list->topLevelItemCount(), 1);
    QCOMPARE(window.quarantineCount(), QStringLiteral("1"));

    // The user keeps the proposal: the file comes back where it was, under its own bytes.
    window.select("bad.dll.aaq");
    window.answers << shown(original);
    window.restore->click();
    QCOMPARE(window.proposals, QStringList{shown(original)});
    QCOMPARE(readFile(original), std::string("payload"));
#ifndef _WIN32  // Windows keeps rights in access lists: a restore there is owner-only
    QVERIFY(std::filesystem::status(original).permissions() == mode);
#endif
    QVERIFY(!quarantine::QuarantineRecordOf("bad.dll.aaq"));
    QCOMPARE(window.list->topLevelItemCount(), 0);
    QCOMPARE(window.quarantineCount(), QStringLiteral("0"));
  }

  void restoreThatDoesNotHappenKeepsTheStoredFileAndRow_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("cancelled") << QString();
    QTest::newRow("folder that does not exist") << QStringLiteral("no-such-folder/bad.dll");
  }

  void restoreThatDoesNotHappenKeepsTheStoredFileAndRow() {
    QFETCH(QString, answer);
    Window window;
    writeFile(window.stored("bad.dll.aaq"), "payload");
    window.open();
    window.select("bad.dll.aaq");
    if (!answer.isEmpty()) window.answers << shown(window.outside(answer.toStdString()));
    window.restore->click();

    QCOMPARE(window.titles.size(), 1);
    QVERIFY(!std::filesystem::exists(window.outside("no-such-folder")));
    QCOMPARE(readFile(window.stored("bad.dll.aaq")), std::string("payload"));
    QCOMPARE(window.list->topLevelItemCount(), 1);
    QCOMPARE(window.quarantineCount(), QStringLiteral("1"));
  }

  void restoreAsksBeforeReplacingAFile() {
    Window window;
    writeFile(window.stored("bad.dll.aaq"), "new");
    writeFile(window.outside("bad.dll"), "old");
    window.open();
    window.select("bad.dll.aaq");

    // Refused: the dialog comes back on the chosen path; cancelling it leaves both files.
    window.answers << shown(window.outside("bad.dll"));
    window.restore->click();
    QCOMPARE(window.replaceQuestions, 1);
    QCOMPARE(window.proposals, (QStringList{QStringLiteral("bad.dll"), shown(window.outside("bad.dll"))}));
    QCOMPARE(readFile(window.outside("bad.dll")), std::string("old"));
    QCOMPARE(window.list->topLevelItemCount(), 1);

    window.replaceAnswer = true;
    window.answers << shown(window.outside("bad.dll"));
    window.restore->click();
    QCOMPARE(window.replaceQuestions, 2);
    QCOMPARE(readFile(window.outside("bad.dll")), std::string("new"));
    QVERIFY(!std::filesystem::exists(window.stored("bad.dll.aaq")));
    QCOMPARE(window.list->topLevelItemCount(), 0);
  }

  void deleteRemovesTheStoredFileWithoutAsking() {
    Window window;
    writeFile(window.stored("a.exe.aaq"), "a");
    writeFile(window.stored("b.exe.aaq"), "b");
    window.open();
    window.select("a.exe.aaq");
    window.remove->click();

    QVERIFY(window.titles.isEmpty());
    QVERIFY(!std::filesystem::exists(window.stored("a.exe.aaq")));
    QCOMPARE(readFile(window.stored("b.exe.aaq")), std::string("b"));
    QCOMPARE(window.list->topLevelItemCount(), 1);
    QVERIFY(window.list->selectedItems().isEmpty());
    QCOMPARE(window.quarantineCount(), QStringLiteral("1"));

    // No row is selected any more: a second click deletes nothing.
    window.remove->click();
    QCOMPARE(readFile(window.stored("b.exe.aaq")), std::string("b"));
  }

  void deleteOfAVanishedFileKeepsTheRowUntilTheNextVisit() {
    Window window;
    writeFile(window.stored("gone.exe.aaq"), "g");
    window.open();
    std::filesystem::remove(window.stored("gone.exe.aaq"));
    window.select("gone.exe.aaq");
    window.remove->click();
    QCOMPARE(window.list->topLevelItemCount(), 1);

    window.open();
    QCOMPARE(window.list->topLevelItemCount(), 0);
  }

  void pageIsRebuiltOnlyWhenEnteredFromAnotherPage() {
    Window window;
    writeFile(window.stored("a.exe.aaq"), "a");
    window.open();
    writeFile(window.stored("b.exe.aaq"), "b");
    window.main->findChild<widgets::Quillet::OrventoCmd*>(QStringLiteral("imgButton_2"))->click();
    QCOMPARE(window.list->topLevelItemCount(), 1);

    window.main->findChild<widgets::Quillet::OrventoCmd*>(QStringLiteral("lblButtonBack_0"))->click();
    window.main->findChild<widgets::Quillet::OrventoCmd*>(QStringLiteral("imgButton_2"))->click();
    QCOMPARE(window.list->topLevelItemCount(), 2);
  }

  void namesThatAreNotValidTextAreRestoredAndDeleted() {
    Window window;
    const std::string latin1 = "caf\xe9.exe.aaq";
    const std::string invalid = "\xff\xfe bad.dll.aaq";
    writeFile(window.stored(latin1), "latin1");
    writeFile(window.stored(invalid), "invalid");
    window.open();
    QCOMPARE(window.list->topLevelItemCount(), 2);
    QVERIFY(window.rowOf(latin1) >= 0 && window.rowOf(invalid) >= 0);

    // The user keeps the proposed name: the file comes back under its own bytes.
    window.select(latin1);
    window.answers << shown(window.environment.root().path()) + QLatin1Char('/') + shown("caf\xe9.exe");
    window.restore->click();
    QCOMPARE(readFile(window.outside("caf\xe9.exe")), std::string("latin1"));
    QVERIFY(!std::filesystem::exists(window.stored(latin1)));

    window.select(invalid);
    window.remove->click();
    QVERIFY(!std::filesystem::exists(window.stored(invalid)));
    QCOMPARE(window.list->topLevelItemCount(), 0);
    QCOMPARE(window.quarantineCount(), QStringLiteral("0"));
  }
};

}  // namespace halvik::gui

QTEST_MAIN(halvik::gui::QuarantinePageTest)
#include "tst_QuarantinePage.moc"
