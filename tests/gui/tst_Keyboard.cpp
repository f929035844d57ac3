// The keyboard and assistive technology in every window: Tab reaches each control that acts, in
// the order of the window, each has an accessible name, and Enter or Space press a label-button.
#include "scan/frmScan.h"
#include "support/TestEnvironment.h"
#include "ui/frmMain.h"
#include "ui/frmSettings.h"
#include "widgets/ActionLabel.h"
#include "widgets/OrventoFrm.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <algorithm>

namespace halvik::gui {

namespace {

// The widgets Tab visits from the window's first one, until it comes back round.
QList<QWidget*> tabOrder(QWidget* window) {
  window->show();
  window->activateWindow();
  QApplication::setActiveWindow(window);
  QWidget* start = nullptr;
  QList<QWidget*> visited;
  for (int step = 0; step < 200; ++step) {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Tab);
    QWidget* now = QApplication::focusWidget();
    if (!now || now == start) break;
    if (!start) start = now;
    visited.append(now);
  }
  return visited;
}

QString accessibleName(QWidget* widget) {
  QAccessibleInterface* described = QAccessible::queryAccessibleInterface(widget);
  return described ? described->text(QAccessible::Name) : QString();
}

// Every control Tab reaches carries a name, and every label-button that can act is reached.
void checkWindow(QWidget* window, const QStringList& expectedOrder) {
  const QList<QWidget*> order = tabOrder(window);
  QStringList names;
  for (QWidget* widget : order) {
    QVERIFY2(!accessibleName(widget).isEmpty(), qPrintable(widget->objectName()));
    names.append(widget->objectName());
  }
  for (auto* label : window->findChildren<widgets::ActionLabel*>())
    if (label->isVisibleTo(window) && label->isEnabled())
      QVERIFY2(order.contains(label), qPrintable(label->objectName()));
  // The chain is a ring: read it from the first control the window lists.
  if (!expectedOrder.isEmpty() && names.contains(expectedOrder.front()))
    std::rotate(names.begin(), names.begin() + names.indexOf(expectedOrder.front()), names.end());
  qsizetype last = -1;
  for (const QString& name : expectedOrder) {
    const qsizetype at = names.indexOf(name);
    QVERIFY2(at > last, qPrintable(name + " out of order in " + names.join(' ')));
    last = at;
  }
}

}  // namespace

class tst_Keyboard : public QObject {
  Q_OBJECT

 private slots:
  void settingsDialogWalksTopToBottomAndSavesOnEnter() {
    testing_support::TestEnvironment where;
    QTimer timer;
    ui::frmSettings dialog(timer, nullptr);
    dialog.loadValues();
    checkWindow(&dialog, {"Check1", "Check2", "Check3", "Check7", "Check8", "Label17", "Label3"});
    auto* save = dialog.findChild<widgets::ActionLabel*>("Label3");
    QCOMPARE(accessibleName(save), QStringLiteral("Sauvgardez"));
    QCOMPARE(QAccessible::queryAccessibleInterface(save)->role(), QAccessible::Button);
    save->setFocus();
    QTest::keyClick(save, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
  }

  void resultsWindowReachesSuivantAndSpacePressesIt() {
    testing_support::TestEnvironment where;
    scan::frmScan window;
    window.show();
    window.lblGoFix->setEnabled(true);
    checkWindow(&window, {"lblGoAbort", "lblGoFix"});
    QTest::keyClick(window.lblGoFix, Qt::Key_Space);
    QVERIFY(window.Picture2->isVisible());
    checkWindow(&window, {"lvScan", "Label14"});
    auto* suivant = window.findChild<widgets::ActionLabel*>("Label14");
    QCOMPARE(accessibleName(suivant), QStringLiteral("Suivant"));
    QSignalSpy pressed(suivant, &widgets::ActionLabel::Click);
    suivant->setEnabled(false);
    QTest::keyClick(suivant, Qt::Key_Space);
    QCOMPARE(pressed.count(), 0);
  }

  void mainWindowNamesEveryControl() {
    testing_support::TestEnvironment where;
    ui::frmMain window;
    checkWindow(&window, {});
  }
};

}  // namespace halvik::gui

QTEST_MAIN(halvik::gui::tst_Keyboard)
#include "tst_Keyboard.moc"
