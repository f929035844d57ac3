// Qt's own texts speak French once the built-in translation is installed, whatever the system's
// language: the standard buttons of a question and of a save.
#include "widgets/QtFrench.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

namespace halvik::gui {

class tst_QtFrench : public QObject {
  Q_OBJECT

 private slots:
  void standardButtonsAreFrench() {
    QLocale::setDefault(QLocale(QLocale::English));
    QVERIFY(widgets::installQtFrench(*QCoreApplication::instance()));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Orvento Halvik"), QStringLiteral("Supprimer ?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Save | QMessageBox::Cancel);
    const auto text = [&box](QMessageBox::StandardButton which) { return box.button(which)->text().remove('&'); };
    QCOMPARE(text(QMessageBox::Yes), QStringLiteral("Oui"));
    QCOMPARE(text(QMessageBox::No), QStringLiteral("Non"));
    QCOMPARE(text(QMessageBox::Save), QStringLiteral("Enregistrer"));
    QCOMPARE(text(QMessageBox::Cancel), QStringLiteral("Annuler"));
  }
};

}  // namespace halvik::gui

QTEST_MAIN(halvik::gui::tst_QtFrench)
#include "tst_QtFrench.moc"
