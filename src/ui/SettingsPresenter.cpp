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
  const core::settings::Setting* setting;
};
constexpr std::array<StoredBox, 5> kBoxes{{{SettingsBox::Check1, &core::settings::RunOnStartup},
                                           {SettingsBox::Check2, &core::settings::LogFile},
                                           {SettingsBox::Check3, &core::settings::Quarintine},
                                           {SettingsBox::Check7, &core::settings::IExplore},
                                           {SettingsBox::Check8, &core::settings::LoadAdMonitor}}};

// The four refresh periods, in the order of Option1 to Option4: stored text and milliseconds.
struct Period {
  PeriodOption option;
  const char* text;
  int milliseconds;
};
constexpr std::array<Period, 4> kPeriods{{{PeriodOption::Option1, "10000", 10000},
                                          {PeriodOption::Option2, "5000", 5000},
                                          {PeriodOption::Option3, "3000", 3000},
                                          {PeriodOption::Option4, "1000", 1000}}};

}  // namespace

void SettingsPresenter::load() {
  for (const StoredBox& entry : kBoxes) m_view.setTicked(entry.box, core::settings::read(*entry.setting) == "1");

  const std::string stored = core::settings::read(core::settings::AdMonitorRefresh);
  PeriodOption selected = PeriodOption::Option2;  // the design-time choice, kept for any other text
  for (const Period& period : kPeriods)
    if (stored == period.text) selected = period.option;
  m_view.selectPeriod(selected);
}

// The start-up entry comes first, so its log line follows the logging choice in force before
// this save.
void SettingsPresenter::save() {
  saveStartup();
  for (const StoredBox& entry : kBoxes)
    if (entry.box != SettingsBox::Check1) core::settings::write(*entry.setting, m_view.isTicked(entry.box) ? "1" : "0");
  const auto selected = m_view.selectedPeriod();
  for (const Period& period : kPeriods) {
    if (period.option != selected) continue;
    core::settings::write(core::settings::AdMonitorRefresh, period.text);
    m_view.setMonitorPeriod(period.milliseconds);
  }
  m_view.closeDialog();
}

void SettingsPresenter::saveStartup() {
  if (m_view.isTicked(SettingsBox::Check1)) {
    core::settings::write(core::settings::RunOnStartup, "1");
    core::RegistryStuff::SetRunValue(platform::RegistryRoot::LocalMachine, core::RegistryStuff::kRunKey, core::RegistryStuff::kRunValueName,
                                     core::programFile(core::RegistryStuff::kCompanionProgram));
  } else {
    core::settings::write(core::settings::RunOnStartup, "0");
    core::RegistryStuff::RemoveRunValue(core::RegistryStuff::kRunValueName);
  }
}

}  // namespace halvik::ui
