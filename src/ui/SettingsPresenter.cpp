#include "ui/SettingsPresenter.h"

#include "core/Locations.h"
#include "core/RegistryStuff.h"
#include "core/Settings.h"

#include <array>
#include <string>

namespace halvik::ui {

namespace {

// The boxes that store "1" or "0", in the order they are read, with their options. Check1 comes
// first; a save stores it with the start-up entry, the others after it in this order.
struct StoredBox {
  SettingsBox box;
  core::settings::Key setting;
};
constexpr std::array<StoredBox, 5> kBoxes{{{SettingsBox::Check1, core::settings::Key::RunOnStartup},
                                           {SettingsBox::Check2, core::settings::Key::LogFile},
                                           {SettingsBox::Check3, core::settings::Key::Quarintine},
                                           {SettingsBox::Check7, core::settings::Key::IExplore},
                                           {SettingsBox::Check8, core::settings::Key::LoadAdMonitor}}};

// The stored text of the refresh period of Option1 to Option4 (index 0 to 3).
std::string periodText(std::size_t option) { return std::to_string(core::settings::kMonitorPeriods[option].count()); }

}  // namespace

void SettingsPresenter::load() {
  for (const StoredBox& entry : kBoxes) m_view.setTicked(entry.box, core::settings::onWhenOne(entry.setting));

  const std::string stored = core::settings::read(core::settings::Key::AdMonitorRefresh);
  PeriodOption selected = PeriodOption::Option2;  // the design-time choice, kept for any other text
  for (std::size_t i = 0; i < core::settings::kMonitorPeriods.size(); ++i)
    if (stored == periodText(i)) selected = static_cast<PeriodOption>(i);
  m_view.selectPeriod(selected);
}

// The start-up entry comes first, so its log line follows the logging choice in force before
// this save.
void SettingsPresenter::save() {
  saveStartup();
  for (const StoredBox& entry : kBoxes)
    if (entry.box != SettingsBox::Check1) core::settings::write(entry.setting, m_view.isTicked(entry.box) ? "1" : "0");
  const auto selected = m_view.selectedPeriod();
  if (selected) {
    const auto option = static_cast<std::size_t>(*selected);
    core::settings::write(core::settings::Key::AdMonitorRefresh, periodText(option));
    m_view.setMonitorPeriod(static_cast<int>(core::settings::kMonitorPeriods[option].count()));
  }
  m_view.closeDialog();
}

void SettingsPresenter::saveStartup() {
  if (m_view.isTicked(SettingsBox::Check1)) {
    core::settings::write(core::settings::Key::RunOnStartup, "1");
    core::RegistryStuff::SetRunValue(platform::RegistryRoot::LocalMachine, core::RegistryStuff::kRunKey,
                                     core::RegistryStuff::kRunValueName,
                                     core::programFile(core::RegistryStuff::kCompanionProgram));
  } else {
    core::settings::write(core::settings::Key::RunOnStartup, "0");
    core::RegistryStuff::RemoveRunValue(core::RegistryStuff::kRunValueName);
  }
}

}  // namespace halvik::ui
