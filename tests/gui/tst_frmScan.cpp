#include "scan/frmScan.h"

#include "core/Settings.h"
#include "engine/mScanFiles.h"
#include "quarantine/QuarantineStore.h"
#include "scan/RepairPass.h"
#include "support/TestEnvironment.h"
#include "support/WalkedHits.h"
#include "widgets/ActionLabel.h"
#include "widgets/OrventoFrm.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

namespace halvik::gui {

using namespace testing_support;

class tst_frmScan : public QObject {
  Q_OBJECT

 private slots:
  void opensWithItsCaptionsColoursAndPanels();
  void listHasSixImagesTwoColumnsAndCheckedRowsWithRawPaths();
  void annulerStopsTheWalkAndEnablesValider();
  void validerShowsTheResults();
  void suivantRepairsTickedRowsThenHides();
  void contextMenuTicksAndUnticksEveryRow();

 private:
  static QColor textColour(const QWidget* widget) { return widget->palette().color(QPalette::WindowText); }
};

void tst_frmScan::opensWithItsCaptionsColoursAndPanels() {
  scan::frmScan window;
  window.show();
  QCOMPARE(window.windowTitle(), QStringLiteral("Orvento Halvik 2.0  -   Scan en cours ..."));
  QCOMPARE(window.Picture1->Caption(), QStringLiteral("Scan Système :"));
  QCOMPARE(window.Picture2->Caption(), QStringLiteral("Sommaire du Scan"));
  QVERIFY(window.Picture1->isVisible());
  QVERIFY(!window.Picture2->isVisible());
  QCOMPARE(window.Picture1->geometry(), window.Picture2->geometry());
  const QList<QPair<const char*, const char*>> captions{{"Label10", "Scan Système Process"},
                                                        {"Label1", "Operation courrente:"},
                                                        {"lblOperation", "Chargement..."},
                                                        {"Label3", "Objets Scannés:"},
                                                        {"lblObjectsScanned", "Chargement..."},
                                                        {"Label2", "Scan en cours:"},
                                                        {"lblCurFile", "Nom de Fichier"},
                                                        {"Label5", "Sommaire :"},
                                                        {"Label4", "Processes lancés:"},
                                                        {"lblProcesses", "0"},
                                                        {"Label6", "Processes dangereux:"},
                                                        {"lblMaliciousProcess", "0"},
                                                        {"Label7", "Objets Identifiés:"},
                                                        {"lblMaliciousObjects", "0"},
                                                        {"Label9", "Objets Ignorés:"},
                                                        {"lblObjectsIgnored", "0"},
                                                        {"Label12", "Entrées registres :"},
                                                        {"lblMaliciousRegistry", "0"},
                                                        {"Label8", "Fichiers Dangereux:"},
                                                        {"Label11", "0"},
                                                        {"Label13", "Scan... Cliquer \"Annuler\" pour terminer"},
                                                        {"lblGoAbort", "Annuler"},
                                                        {"lblGoFix", "Valider"},
                                                        {"Label36", "Sommaire du Scan :"},
                                                        {"Label16", "Cliquer sur \"Suivant\" pour continuer"},
                                                        {"Label14", "Suivant"}};
  for (const auto& [name, caption] : captions) {
    auto* label = window.findChild<QLabel*>(QString::fromUtf8(name));
    QVERIFY2(label, name);
    QCOMPARE(label->text(), QString::fromUtf8(caption));
  }
  for (const char* name : {"Line1", "Line2", "Line4", "Line5", "Line6", "Line7", "Drive", "lvScan"})
    QVERIFY2(window.findChild<QWidget*>(QString::fromUtf8(name)), name);
  const QColor darkRed(192, 0, 0), darkBlue(0, 0, 192);
  for (QLabel* label : {window.lblMaliciousProcess, window.lblMaliciousObjects, window.lblObjectsIgnored,
                        window.lblMaliciousRegistry, window.Label11, static_cast<QLabel*>(window.lblGoAbort)})
    QCOMPARE(textColour(label), darkRed);
  QCOMPARE(textColour(window.Label14), darkBlue);
  window.lblGoFix->setEnabled(true);
  QCOMPARE(textColour(window.lblGoFix), darkBlue);
  QCOMPARE(textColour(window.lblOperation), window.palette().color(QPalette::WindowText));
  window.lblGoFix->setEnabled(false);
  QVERIFY(window.lblGoAbort->isEnabled());
  QVERIFY(!window.lblGoFix->isEnabled());
  QCOMPARE(window.lvScan->property("Tag").toString(), QString());
}

void tst_frmScan::listHasSixImagesTwoColumnsAndCheckedRowsWithRawPaths() {
  scan::frmScan window;
  QCOMPARE(window.ilListview.size(), std::size_t(6));
  for (const QPixmap& image : window.ilListview) {
    QCOMPARE(image.size(), QSize(16, 16));
    QVERIFY(!image.mask().isNull());
    QCOMPARE(image.toImage().pixelColor(0, 0).alpha(), 0);  // the silver ground is transparent
  }
  QCOMPARE(window.lvScan->columnCount(), 2);
  QCOMPARE(window.lvScan->headerItem()->text(0), QStringLiteral("Type des Spywares"));
  QCOMPARE(window.lvScan->headerItem()->text(1), QStringLiteral("Nom de fichiers"));

  const std::string path = "/tmp/caf\xE9/evil.exe";
  window.addHit({"DEMO", path, 0, {}, {}});
  QCOMPARE(window.lvScan->topLevelItemCount(), 1);
  QTreeWidgetItem* row = window.lvScan->topLevelItem(0);
  QCOMPARE(row->text(0), QStringLiteral("DEMO"));
  QVERIFY(row->text(1).endsWith(QStringLiteral("/evil.exe")));
  QCOMPARE(window.rowPath(0), path);
  QVERIFY(window.rowChecked(0));
  QCOMPARE(window.rowImage(0), scan::kImageFound);
  QVERIFY(!row->icon(0).isNull());
}

void tst_frmScan::annulerStopsTheWalkAndEnablesValider() {
  scan::frmScan window;
  window.show();
  engine::mScanFiles::setScanRunning(true);
  QTest::mouseClick(window.lblGoAbort, Qt::LeftButton);
  QVERIFY(!engine::mScanFiles::ScanRunning());
  QVERIFY(!window.lblGoAbort->isEnabled());
  QVERIFY(window.lblGoFix->isEnabled());
}

void tst_frmScan::validerShowsTheResults() {
  scan::frmScan window;
  window.show();
  window.lblGoFix->setEnabled(true);
  QTest::mouseClick(window.lblGoFix, Qt::LeftButton);
  QVERIFY(!window.Picture1->isVisible());
  QVERIFY(window.Picture2->isVisible());
}

void tst_frmScan::suivantRepairsTickedRowsThenHides() {
  TestEnvironment environment;
  TempFolder tree;
  core::settings::write(core::settings::Key::Quarintine, "1");
  const std::string odd = tree / "caf\xE9.exe";
  writeFile(odd, "odd");
  writeFile(tree / "later.exe", "later");
  scan::frmScan window;
  window.show();
  window.addHit(walkedHit(tree.path(), odd));
  window.addHit(walkedHit(tree.path(), tree / "later.exe"));
  window.lvScan->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
  window.lblGoFix->setEnabled(true);
  QTest::mouseClick(window.lblGoFix, Qt::LeftButton);
  QSignalSpy removed(&window, &scan::frmScan::ObjectsRemoved);
  QSignalSpy done(&window, &scan::frmScan::RepairDone);

  QTest::mouseClick(window.Label14, Qt::LeftButton);
  QVERIFY(window.isVisible());
  QCOMPARE(window.lvScan->property("Tag").toString(), QStringLiteral("FIXED"));
  QCOMPARE(window.rowImage(0), scan::kImageRemoved);
  QCOMPARE(window.rowImage(1), scan::kImageFound);
  QVERIFY(!std::filesystem::exists(odd));
  QCOMPARE(readFile(quarantine::QuarantineFolder() + "/caf\xE9.exe.aaq"), std::string("odd"));
  QCOMPARE(removed.count(), 1);
  QCOMPARE(removed.at(0).at(0).toString(), QStringLiteral("1"));
  QCOMPARE(done.count(), 1);

  window.lvScan->topLevelItem(1)->setCheckState(0, Qt::Checked);
  QTest::mouseClick(window.Label14, Qt::LeftButton);
  QVERIFY(!window.isVisible());
  QCOMPARE(window.rowImage(1), scan::kImageRemoved);
  QVERIFY(!std::filesystem::exists(tree / "later.exe"));
  QCOMPARE(core::settings::read(core::settings::Key::TotalObjectsRemoved), std::string("2"));
}

void tst_frmScan::contextMenuTicksAndUnticksEveryRow() {
  scan::frmScan window;
  for (const char* path : {"/a/one.exe", "/b/two.exe", "/c/three.exe"}) window.addHit({"DEMO", path, 0, {}, {}});
  window.lvScan->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
  QCOMPARE(window.lvScan->contextMenuPolicy(), Qt::ActionsContextMenu);
  QCOMPARE(window.lvScan->actions().size(), qsizetype(2));
  auto* checkAll = window.lvScan->findChild<QAction*>(QStringLiteral("mnuCheckAll"));
  auto* uncheckAll = window.lvScan->findChild<QAction*>(QStringLiteral("mnuUncheckAll"));
  QVERIFY(checkAll && uncheckAll);
  QCOMPARE(checkAll->text(), QStringLiteral("Tout cocher"));
  QCOMPARE(uncheckAll->text(), QStringLiteral("Tout d\u00E9cocher"));

  uncheckAll->trigger();
  for (int row = 0; row < 3; ++row) QVERIFY(!window.rowChecked(row));
  checkAll->trigger();
  for (int row = 0; row < 3; ++row) QVERIFY(window.rowChecked(row));
}

}  // namespace halvik::gui

QTEST_MAIN(halvik::gui::tst_frmScan)
#include "tst_frmScan.moc"
