#include "monitor/MonitorPage.h"
#include "process/MonitorLock.h"
#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"
#include "support/ThreatDatabase.h"
#include "ui/frmMain.h"
#include "ui/frmSettings.h"
#include "widgets/ActionLabel.h"
#include "widgets/OrventoCmd.h"
#include "widgets/OrventoFrm.h"

#include <QHeaderView>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace halvik::gui {

using namespace testing_support;

namespace {

QColor textColour(const QWidget* widget) { return widget->palette().color(QPalette::WindowText); }

QTreeWidgetItem* rowOf(QTreeWidget* list, std::uint32_t pid) {
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    if (list->topLevelItem(i)->data(0, monitor::MonitorPage::kProcessIdRole).toUInt() == pid)
      return list->topLevelItem(i);
  return nullptr;
}

void clickRow(QTreeWidget* list, QTreeWidgetItem* item) {
  list->scrollToItem(item);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

QByteArray bytes(const std::string& text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

class MonitorPageTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_locations = std::make_unique<TestEnvironment>();
    m_threatName = uniqueName("Ad ware");
    m_threatPath = m_locations->root() / m_threatName;
    m_cleanPath = m_locations->root() / uniqueName("clean");
  }
  void cleanup() {
    m_main.reset();
    m_locations.reset();
  }

  void controlsAsDesigned() {
    monitor::MonitorPage& page = open();
    for (const char* name : {"Label10", "Line3", "Label8", "lblGoSettings", "lblEnableMonitor", "lvProcesses",
                             "lblProcessName", "Command1"})
      QVERIFY2(m_main->picFrame[2]->findChild<QWidget*>(QString::fromLatin1(name)), name);
    QCOMPARE(page.Label10->text(), QStringLiteral("Moniteur des Adwares Actives:"));
    QCOMPARE(page.Label8->text(), QStringLiteral("Tous les processes charg\u00E9s :"));
    QCOMPARE(page.lblGoSettings->text(), QStringLiteral("Configuration"));
    QCOMPARE(page.lblEnableMonitor->text(), QStringLiteral("Activez"));
    QCOMPARE(page.lblProcessName->text(), QStringLiteral("Selectionnez un Process"));
    QCOMPARE(page.Command1->Caption(), QStringLiteral("Terminer"));
    QCOMPARE(page.lvProcesses->headerItem()->text(0), QStringLiteral("Nom de Process"));
    QCOMPARE(page.lvProcesses->headerItem()->text(1), QStringLiteral("Status des Adwares"));
    QCOMPARE(page.lvProcesses->headerItem()->text(2), QStringLiteral("Action Taken"));
    QCOMPARE(page.lvProcesses->topLevelItemCount(), 0);
    QCOMPARE(textColour(page.lblGoSettings), QColor(0, 0, 255));
    QCOMPARE(textColour(page.lblEnableMonitor), QColor(0, 0, 255));
  }

  void startsOffWithTheDefaultInterval() {
    core::settings::write(core::settings::Key::AdMonitorRefresh, "1000");
    monitor::MonitorPage& page = open();
    QVERIFY(!m_main->tmrAdMonitor->isActive());
    QCOMPARE(m_main->tmrAdMonitor->interval(), 5000);
    QCOMPARE(m_main->lblStatus_Admonitor->text(), QStringLiteral("Non charg\u00E9"));
    QCOMPARE(textColour(m_main->lblStatus_Admonitor), QColor(255, 0, 0));
    QCOMPARE(page.lblEnableMonitor->text(), QStringLiteral("Activez"));
  }

  void toggleSwitchesOnThenOff() {
    monitor::MonitorPage& page = open();
    QTest::mouseClick(page.lblEnableMonitor, Qt::LeftButton);
    QVERIFY(m_main->tmrAdMonitor->isActive());
    QCOMPARE(page.lblEnableMonitor->text(), QStringLiteral("D\u00E9sactiv\u00E9"));
    QCOMPARE(m_main->lblStatus_Admonitor->text(), QStringLiteral("Charg\u00E9"));
    QCOMPARE(textColour(m_main->lblStatus_Admonitor), QColor(0, 0, 0));
    // Switching on does not refresh at once.
    QCOMPARE(page.lvProcesses->topLevelItemCount(), 0);

    QTest::mouseClick(page.lblEnableMonitor, Qt::LeftButton);
    QVERIFY(!m_main->tmrAdMonitor->isActive());
    QCOMPARE(page.lblEnableMonitor->text(), QStringLiteral("Activ\u00E9"));
    QCOMPARE(m_main->lblStatus_Admonitor->text(), QStringLiteral("Non Charg\u00E9"));
    QCOMPARE(textColour(m_main->lblStatus_Admonitor), QColor(255, 0, 0));
    QCOMPARE(core::settings::read(core::settings::Key::LoadAdMonitor), std::string("0"));
  }

  void startsOnFromTheStoredSetting() {
    core::settings::write(core::settings::Key::LoadAdMonitor, "1");
    core::settings::write(core::settings::Key::AdMonitorRefresh, "1000");
    monitor::MonitorPage& page = open();
    QVERIFY(m_main->tmrAdMonitor->isActive());
    QCOMPARE(m_main->tmrAdMonitor->interval(), 5000);
    QCOMPARE(m_main->lblStatus_Admonitor->text(), QStringLiteral("charg\u00E9"));
    QCOMPARE(textColour(m_main->lblStatus_Admonitor), QColor(0, 0, 0));
    QCOMPARE(page.lblEnableMonitor->text(), QStringLiteral("Activez"));
    // The first click switches it off.
    QTest::mouseClick(page.lblEnableMonitor, Qt::LeftButton);
    QVERIFY(!m_main->tmrAdMonitor->isActive());
    QCOMPARE(page.lblEnableMonitor->text(), QStringLiteral("Activ\u00E9"));
  }

  // One monitor per session: the page holds the lock while the monitor is on (from the stored
  // setting or the toggle), and a refresh never runs while someone else holds it.
  void holdsTheSessionLockWhileOnAndNeverRefreshesWithoutIt() {
    core::settings::write(core::settings::Key::LoadAdMonitor, "1");
    monitor::MonitorPage& page = open();
    process::MonitorLock companion;
    QVERIFY(!companion.take());
    QTest::mouseClick(page.lblEnableMonitor, Qt::LeftButton);  // off
    QVERIFY(companion.take());
    page.RefreshProcessList();  // the companion is checking: this refresh waits, then is skipped
    QCOMPARE(page.lvProcesses->topLevelItemCount(), 0);
    companion.release();
    page.RefreshProcessList();
    QVERIFY(page.lvProcesses->topLevelItemCount() > 0);
    QVERIFY(companion.take());  // a refresh with the monitor off lets the lock go at once
    companion.release();
    QTest::mouseClick(page.lblEnableMonitor, Qt::LeftButton);  // on again
    QVERIFY(!companion.take());
  }

  void tickSuspendsThreatsAndMarksRows() {
    writeReferenceDatabase({{m_threatName, "Adware.Test"}});
    ChildProcess threat(m_threatPath, 1);
    ChildProcess clean(m_cleanPath);
    monitor::MonitorPage& page = open();
    m_main->tmrAdMonitor->setInterval(50);
    QTest::mouseClick(page.lblEnableMonitor, Qt::LeftButton);
    QTRY_VERIFY(rowOf(page.lvProcesses, threat.pid()) && rowOf(page.lvProcesses, clean.pid()));

    QTreeWidgetItem* bad = rowOf(page.lvProcesses, threat.pid());
    QCOMPARE(bad->text(0), QString::fromStdString(m_threatPath));
    QCOMPARE(bad->data(0, monitor::MonitorPage::kPathRole).toByteArray(), bytes(m_threatPath));
    QCOMPARE(bad->text(1), QStringLiteral("Adware.Test"));
    QCOMPARE(bad->text(2), QStringLiteral("Application Suspended"));
    QVERIFY(threat.waitForEveryThread('T'));

    QTreeWidgetItem* good = rowOf(page.lvProcesses, clean.pid());
    QCOMPARE(good->text(1), QStringLiteral("No"));
    QCOMPARE(good->text(2), QStringLiteral("N/A"));
    QVERIFY(clean.state() != 'T');

    // Later ticks suspend it again, but its suspension is logged once for that process.
    QTest::mouseClick(page.lblEnableMonitor, Qt::LeftButton);  // off: the test makes the ticks
    for (int tick = 0; tick < 2; ++tick) {
      threat.resume();
      QVERIFY(threat.waitForEveryThread('S'));
      page.RefreshProcessList();
      QVERIFY(threat.waitForEveryThread('T'));
    }
    QCOMPARE(countOf(logMessages(),
                     m_threatName + ", a running process, is found as malicious. Suspsending: Adware.Test"),
             1);
  }

  void selectionSurvivesRefreshAndTerminerKillsIt() {
    // A path with a non-UTF-8 byte: the row acts on the bytes, not on the shown text.
    const std::string path = m_locations->root() / uniqueName(
                                                       "sel\xe9"
                                                       "ected");
    ChildProcess child(path);
    ChildProcess other(m_cleanPath);
    const std::uint32_t pid = child.pid();
    monitor::MonitorPage& page = open();
    page.RefreshProcessList();
    QTreeWidgetItem* item = rowOf(page.lvProcesses, pid);
    QVERIFY(item);
    clickRow(page.lvProcesses, item);
    QCOMPARE(page.lblProcessName->text(), item->text(0));
    QCOMPARE(page.lblProcessName->property("Tag").toString(), QString::number(child.pid()));
    QVERIFY(page.selection());
    QCOMPARE(page.selection()->imagePath, path);

    page.RefreshProcessList();
    QCOMPARE(page.lblProcessName->property("Tag").toString(), QString::number(child.pid()));
    // The highlight stays on the selected process.
    QVERIFY(page.lvProcesses->currentItem());
    QCOMPARE(page.lvProcesses->currentItem()->data(0, monitor::MonitorPage::kProcessIdRole).toUInt(), pid);

    // The keyboard moves the highlight and the target with it; a refresh keeps both.
    page.lvProcesses->setFocus();
    QTest::keyClick(page.lvProcesses,
                    page.lvProcesses->itemBelow(page.lvProcesses->currentItem()) ? Qt::Key_Down : Qt::Key_Up);
    const std::uint32_t moved = page.lvProcesses->currentItem()->data(0, monitor::MonitorPage::kProcessIdRole).toUInt();
    QVERIFY(moved != pid);
    QCOMPARE(page.selection()->processId, moved);
    page.RefreshProcessList();
    QCOMPARE(page.selection()->processId, moved);
    clickRow(page.lvProcesses, rowOf(page.lvProcesses, pid));

    core::settings::write(core::settings::Key::LogFile, "1");
    QTest::mouseClick(page.Command1, Qt::LeftButton);
    QTRY_VERIFY(child.ended());
    QVERIFY(!other.ended());
    QCOMPARE(countOf(logMessages(), "User Killed Process " + path), 1);
    // The row stays until the next refresh, and the selection keeps its caption and tag.
    QVERIFY(rowOf(page.lvProcesses, pid));
    QCOMPARE(page.lblProcessName->property("Tag").toString(), QString::number(pid));
  }

  void terminerSparesAReusedIdentifier() {
    ChildProcess child(m_cleanPath);
    monitor::MonitorPage& page = open();
    page.RefreshProcessList();
    QTreeWidgetItem* item = rowOf(page.lvProcesses, child.pid());
    QVERIFY(item);
    // As if the row had been listed for an earlier process that had the same identifier.
    item->setData(0, monitor::MonitorPage::kStartTimeRole,
                  item->data(0, monitor::MonitorPage::kStartTimeRole).toULongLong() - 1);
    clickRow(page.lvProcesses, item);
    core::settings::write(core::settings::Key::LogFile, "1");
    QTest::mouseClick(page.Command1, Qt::LeftButton);
    QVERIFY(!child.stopSent());
    QVERIFY(child.survivesAStop());
    QCOMPARE(countOf(logMessages(), "User Killed Process " + m_cleanPath), 1);
  }

  void terminerWithoutSelectionDoesNothing() {
    ChildProcess child(m_cleanPath);
    monitor::MonitorPage& page = open();
    core::settings::write(core::settings::Key::LogFile, "1");  // after the load, which logs the missing databases
    page.RefreshProcessList();
    QTest::mouseClick(page.Command1, Qt::LeftButton);
    QVERIFY(child.survivesAStop());
    QVERIFY(logMessages().empty());
  }

  void configurationOpensTheSettingsDialog() {
    monitor::MonitorPage& page = open();
    QVERIFY(!m_main->settingsDialog());
    QTest::mouseClick(page.lblGoSettings, Qt::LeftButton);
    QVERIFY(m_main->settingsDialog());
    QVERIFY(m_main->settingsDialog()->isVisible());
  }

 private:
  monitor::MonitorPage& open() {
    m_main = std::make_unique<ui::frmMain>();
    m_main->show();
    m_main->SetCurrentFrame(2);
    return *m_main->monitorPage;
  }

  std::unique_ptr<TestEnvironment> m_locations;
  std::unique_ptr<ui::frmMain> m_main;
  std::string m_threatName;
  std::string m_threatPath;
  std::string m_cleanPath;
};

}  // namespace halvik::gui

QTEST_MAIN(halvik::gui::MonitorPageTest)
#include "tst_MonitorPage.moc"
