#include "ui/frmSettings.h"

#include "core/Locations.h"
#include "core/Settings.h"
#include "widgets/ActionLabel.h"
#include "widgets/Fonts.h"
#include "widgets/OrventoFrm.h"
#include "core/RegistryStuff.h"
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include <array>
#include <string>
#include <utility>

namespace halvik::ui {

namespace {

constexpr int kWidth = 7455;
constexpr int kHeight = 5535;
constexpr int kLeft = 120;
constexpr int kRowHeight = 285;

const char* flag(const QCheckBox* box) { return box->isChecked() ? "1" : "0"; }

// The stored text of the refresh period of Option1 to Option4 (index 0 to 3).
std::string periodText(std::size_t option) { return std::to_string(core::settings::kMonitorPeriods[option].count()); }

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
  Picture1 = widgets::twips::placed(new widgets::Quillet::OrventoFrm(this), QStringLiteral("Picture1"), 0, 0, kWidth, kHeight);
  Label10 = groupHeading(QStringLiteral("Label10"), QStringLiteral("Options Générales :"), 480);
  Check1 = checkBox(QStringLiteral("Check1"), QStringLiteral("Lancer au démarrage"), 1080);
  Check2 = checkBox(QStringLiteral("Check2"), QStringLiteral("Enregistrer au fichier Log"), 1440);
  Check3 = checkBox(QStringLiteral("Check3"), QStringLiteral("Quarantine objetsavant la suppression"), 1800);
  Label1 = groupHeading(QStringLiteral("Label1"), QStringLiteral("Options Scan :"), 2160);
  Check7 = checkBox(QStringLiteral("Check7"), QStringLiteral("Scan internet explorer"), 2760);
  Label2 = groupHeading(QStringLiteral("Label2"), QStringLiteral("Moniteur Active :"), 3360);
  Check8 = checkBox(QStringLiteral("Check8"), QStringLiteral("Lancer au démarrage"), 3960);
  Option1 = optionButton(QStringLiteral("Option1"), QStringLiteral("Actualisé Lent"), 120, 1800);
  Option2 = optionButton(QStringLiteral("Option2"), QStringLiteral("Actualisé Normal"), 1800, 3600);
  Option3 = optionButton(QStringLiteral("Option3"), QStringLiteral("Actualisé Rapide"), 3600, 5400);
  Option4 = optionButton(QStringLiteral("Option4"), QStringLiteral("Actualisé Temps Réel"), 5400, kWidth);
  Option2->setChecked(true);

  Label17 = widgets::twips::placed(new widgets::ActionLabel(QStringLiteral("Annuler"), Picture1), QStringLiteral("Label17"), kLeft, 5040, 1800,
                          kRowHeight);
  Label17->setForeColor(QColor(0x80, 0x00, 0x00));
  Label3 = widgets::twips::placed(new widgets::ActionLabel(QStringLiteral("Sauvgardez"), Picture1), QStringLiteral("Label3"), 5520, 5040, 1800,
                         kRowHeight);
  Label3->setForeColor(QColor(0x00, 0x00, 0xFF));
  for (widgets::ActionLabel* command : {Label17, Label3}) {
    QFont bold = command->font();
    bold.setBold(true);
    command->setFont(bold);
  }
  connect(Label17, &widgets::ActionLabel::Click, this, &frmSettings::close);
  connect(Label3, &widgets::ActionLabel::Click, this, &frmSettings::save);
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
  return widgets::twips::placed(new QRadioButton(caption, Picture1), objectName, left, 4440, right - left - 60, kRowHeight);
}

std::array<QRadioButton*, 4> frmSettings::options() const { return {Option1, Option2, Option3, Option4}; }

void frmSettings::loadValues() {
  using core::settings::Key;
  const std::array<std::pair<QCheckBox*, Key>, 5> boxes{{{Check1, Key::RunOnStartup},
                                                         {Check2, Key::LogFile},
                                                         {Check3, Key::Quarintine},
                                                         {Check7, Key::IExplore},
                                                         {Check8, Key::LoadAdMonitor}}};
  for (const auto& [box, key] : boxes) box->setChecked(core::settings::onWhenOne(key));

  const std::string period = core::settings::read(core::settings::Key::AdMonitorRefresh);
  const auto buttons = options();
  Option2->setChecked(true);  // the design-time choice, kept for any other text
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (period == periodText(i)) buttons[i]->setChecked(true);
}

// Stores the six options in their fixed order. The start-up entry comes first, so its log line
// follows the logging choice in force before this save. The monitor's period is applied at
// once; whether the monitor runs is left as it is.
void frmSettings::save() {
  saveStartup();
  core::settings::write(core::settings::Key::LogFile, flag(Check2));
  core::settings::write(core::settings::Key::Quarintine, flag(Check3));
  core::settings::write(core::settings::Key::IExplore, flag(Check7));
  core::settings::write(core::settings::Key::LoadAdMonitor, flag(Check8));
  const auto buttons = options();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (!buttons[i]->isChecked()) continue;
    core::settings::write(core::settings::Key::AdMonitorRefresh, periodText(i));
    m_monitorTimer.setInterval(core::settings::kMonitorPeriods[i]);
    break;
  }
  close();
}

void frmSettings::saveStartup() {
  if (Check1->isChecked()) {
    core::settings::write(core::settings::Key::RunOnStartup, "1");
    core::RegistryStuff::SetRunValue(platform::RegistryRoot::LocalMachine, core::RegistryStuff::kRunKey, core::RegistryStuff::kRunValueName,
                               core::programFile(core::RegistryStuff::kCompanionProgram));
  } else {
    core::settings::write(core::settings::Key::RunOnStartup, "0");
    core::RegistryStuff::RemoveRunValue(core::RegistryStuff::kRunValueName);
  }
}

}  // namespace halvik::ui
