#include "ui/frmSettings.h"

#include "widgets/ActionLabel.h"
#include "widgets/Fonts.h"
#include "widgets/OrventoFrm.h"
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include <array>

namespace halvik::ui {

namespace {

constexpr int kWidth = 7455;
constexpr int kHeight = 5535;
constexpr int kLeft = 120;
constexpr int kRowHeight = 285;

}  // namespace

frmSettings::frmSettings(QTimer& monitorTimer, QWidget* owner) : QDialog(owner), m_monitorTimer(monitorTimer) {
  setObjectName(QStringLiteral("frmSettings"));
  setWindowTitle(QStringLiteral("Orvento Halvik 2.0  - Configuration"));
  setModal(false);
  setFont(widgets::fonts::ui());
  setFixedSize(widgets::twips::toPixels(kWidth, logicalDpiX()), widgets::twips::toPixels(kHeight, logicalDpiY()));
  buildControls();
}

void frmSettings::buildControls() {
  Picture1 =
      widgets::twips::placed(new widgets::Quillet::OrventoFrm(this), QStringLiteral("Picture1"), 0, 0, kWidth, kHeight);
  Label10 = groupHeading(QStringLiteral("Label10"), QStringLiteral("Options Générales :"), 480);
  Check1 = checkBox(QStringLiteral("Check1"), QStringLiteral("Lancer au démarrage"), 1080);
  Check2 = checkBox(QStringLiteral("Check2"), QStringLiteral("Enregistrer au fichier Log"), 1440);
  // "objetsavant" without its space, as the dialog has always shown it: captions stay as users know them.
  Check3 = checkBox(QStringLiteral("Check3"), QStringLiteral("Quarantine objetsavant la suppression"), 1800);
  Label1 = groupHeading(QStringLiteral("Label1"), QStringLiteral("Options Scan :"), 2160);
  Check7 = checkBox(QStringLiteral("Check7"), QStringLiteral("Scan internet explorer"), 2760);
  // "Moniteur Active" as the dialog and the main window's tooltip have always read: kept unchanged.
  Label2 = groupHeading(QStringLiteral("Label2"), QStringLiteral("Moniteur Active :"), 3360);
  Check8 = checkBox(QStringLiteral("Check8"), QStringLiteral("Lancer au démarrage"), 3960);
  Option1 = optionButton(QStringLiteral("Option1"), QStringLiteral("Actualisé Lent"), 120, 1800);
  Option2 = optionButton(QStringLiteral("Option2"), QStringLiteral("Actualisé Normal"), 1800, 3600);
  Option3 = optionButton(QStringLiteral("Option3"), QStringLiteral("Actualisé Rapide"), 3600, 5400);
  Option4 = optionButton(QStringLiteral("Option4"), QStringLiteral("Actualisé Temps Réel"), 5400, kWidth);
  Option2->setChecked(true);

  Label17 = widgets::twips::placed(new widgets::ActionLabel(QStringLiteral("Annuler"), Picture1),
                                   QStringLiteral("Label17"), kLeft, 5040, 1800, kRowHeight);
  Label17->setForeColor(QColor(0x80, 0x00, 0x00));
  // "Sauvgardez" misspelt as the save link has always read: captions stay as users know them.
  Label3 = widgets::twips::placed(new widgets::ActionLabel(QStringLiteral("Sauvgardez"), Picture1),
                                  QStringLiteral("Label3"), 5520, 5040, 1800, kRowHeight);
  Label3->setForeColor(QColor(0x00, 0x00, 0xFF));
  for (widgets::ActionLabel* command : {Label17, Label3}) {
    QFont bold = command->font();
    bold.setBold(true);
    command->setFont(bold);
  }
  connect(Label17, &widgets::ActionLabel::Click, this, &frmSettings::close);
  connect(Label3, &widgets::ActionLabel::Click, this, [this] { m_presenter.save(); });
}

QLabel* frmSettings::groupHeading(const QString& objectName, const QString& caption, int top) {
  auto* heading = widgets::twips::placed(new QLabel(caption, Picture1), objectName, kLeft, top, 4800, kRowHeight);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  return heading;
}

QCheckBox* frmSettings::checkBox(const QString& objectName, const QString& caption, int top) {
  return widgets::twips::placed(new QCheckBox(caption, Picture1), objectName, kLeft, top, 4800, kRowHeight);
}

// An option button of the one row, as wide as the room up to `right` (the next one's left).
QRadioButton* frmSettings::optionButton(const QString& objectName, const QString& caption, int left, int right) {
  return widgets::twips::placed(new QRadioButton(caption, Picture1), objectName, left, 4440, right - left - 60,
                                kRowHeight);
}

std::array<QRadioButton*, 4> frmSettings::options() const { return {Option1, Option2, Option3, Option4}; }

QCheckBox* frmSettings::box(SettingsBox which) const {
  switch (which) {
    case SettingsBox::Check1: return Check1;
    case SettingsBox::Check2: return Check2;
    case SettingsBox::Check3: return Check3;
    case SettingsBox::Check7: return Check7;
    case SettingsBox::Check8: return Check8;
  }
  return nullptr;
}

void frmSettings::loadValues() { m_presenter.load(); }

bool frmSettings::isTicked(SettingsBox which) const { return box(which)->isChecked(); }

void frmSettings::setTicked(SettingsBox which, bool ticked) { box(which)->setChecked(ticked); }

std::optional<PeriodOption> frmSettings::selectedPeriod() const {
  const auto buttons = options();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (buttons[i]->isChecked()) return static_cast<PeriodOption>(i);
  return std::nullopt;
}

void frmSettings::selectPeriod(PeriodOption option) { options()[static_cast<std::size_t>(option)]->setChecked(true); }

void frmSettings::setMonitorPeriod(int milliseconds) { m_monitorTimer.setInterval(milliseconds); }

void frmSettings::closeDialog() { close(); }

}  // namespace halvik::ui
