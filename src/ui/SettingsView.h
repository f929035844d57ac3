#pragma once

#include <optional>

namespace halvik::ui {

// The check boxes of the settings dialog, by their control names.
enum class SettingsBox {
  Check1,  // "Lancer au démarrage" under "Options Générales :": the start-up entry
  Check2,  // "Enregistrer au fichier Log"
  Check3,  // "Quarantine objetsavant la suppression"
  Check7,  // "Scan internet explorer"
  Check8,  // "Lancer au démarrage" under "Moniteur Active :": the monitor at start
};

// The refresh option buttons of the settings dialog, one row, exactly one selected.
enum class PeriodOption { Option1, Option2, Option3, Option4 };

// What the settings dialog's logic reads from and does to the dialog.
class SettingsView {
 public:
  virtual ~SettingsView() = default;

  virtual bool isTicked(SettingsBox box) const = 0;
  virtual void setTicked(SettingsBox box, bool ticked) = 0;

  // The first selected option button, in the order Option1 to Option4; nullopt when none is.
  virtual std::optional<PeriodOption> selectedPeriod() const = 0;
  virtual void selectPeriod(PeriodOption option) = 0;

  // Sets the period of the main window's monitor timer, whether it runs or not.
  virtual void setMonitorPeriod(int milliseconds) = 0;
  virtual void closeDialog() = 0;
};

}  // namespace halvik::ui
