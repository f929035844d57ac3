// On the Windows 95 family the first tick shows the refusal, and closing it ends the whole
// program. The test passes only by that end (exit code 0) after the message was checked.
#include "core/Locations.h"
#include "monitor/MonitorPage.h"
#include "process/mProcess.h"
#include "support/TestEnvironment.h"
#include "ui/frmMain.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cstdlib>

namespace halvik::gui {

class MonitorRefusalTest : public QObject {
  Q_OBJECT

 private slots:
  void refusalShowsTheMessageAndEndsTheProgram() {
    testing_support::TestEnvironment environment;
    ui::frmMain main;
    main.show();
    QTimer::singleShot(100, [] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      const bool expected = box && box->windowTitle() == QStringLiteral("Orvento Halvik") &&
                            box->text() == QString::fromUtf8(process::mProcess::kRefusalMessage) &&
                            box->standardButtons() == QMessageBox::Ok;
      if (!expected) {
        std::fprintf(stderr, "FAIL: the refusal message box is not as designed\n");
        std::_Exit(1);
      }
      box->button(QMessageBox::Ok)->click();
    });
    environment->platformId = 1;
    main.monitorPage->RefreshProcessList();
    QFAIL("the program should have ended after the refusal");
  }
};

}  // namespace halvik::gui

QTEST_MAIN(halvik::gui::MonitorRefusalTest)
#include "tst_MonitorRefusal.moc"
