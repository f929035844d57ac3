#pragma once

#include "ui/SettingsView.h"

namespace halvik::ui {

// The settings dialog's logic over the six stored options of section "Settings".
class SettingsPresenter {
 public:
  explicit SettingsPresenter(SettingsView& view) : m_view(view) {}

  // Shows the stored values: a box is ticked only for the exact text "1"; a period other than
  // "10000", "5000", "3000" or "1000" selects Option2 ("Actualisé Normal").
  void load();

  // "Sauvgardez": stores the six options in their fixed order, applies the start-up entry and
  // the monitor's period at once (whether the monitor runs is left as it is), and closes.
  void save();

 private:
  void saveStartup();

  SettingsView& m_view;
};

}  // namespace halvik::ui
