#pragma once

#include "ui/SettingsPresenter.h"
#include "ui/SettingsView.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QRadioButton;
class QTimer;

namespace halvik::widgets {
class ActionLabel;
}

namespace halvik::widgets::Quillet {
class OrventoFrm;
}

namespace halvik::ui {

// The settings dialog: the six stored options of section "Settings". "Sauvgardez" stores them
// all, applies the start-up entry and the monitor's period at once, and closes; "Annuler"
// closes without storing anything. The main window keeps one instance and shows it modeless.
// What it shows and stores is SettingsPresenter's.
class frmSettings : public QDialog, public SettingsView {
  Q_OBJECT

 public:
  // `monitorTimer` is the main window's tmrAdMonitor, whose period a save sets.
  frmSettings(QTimer& monitorTimer, QWidget* owner);

  // Shows the stored values: a box is ticked only for the exact text "1"; a period that is not
  // one of the four offered keeps "Actualisé Normal" selected.
  void loadValues();

  widgets::Quillet::OrventoFrm* Picture1 = nullptr;
  QLabel* Label10 = nullptr;
  QCheckBox* Check1 = nullptr;
  QCheckBox* Check2 = nullptr;
  QCheckBox* Check3 = nullptr;
  QLabel* Label1 = nullptr;
  QCheckBox* Check7 = nullptr;
  QLabel* Label2 = nullptr;
  QCheckBox* Check8 = nullptr;
  QRadioButton* Option1 = nullptr;
  QRadioButton* Option2 = nullptr;
  QRadioButton* Option3 = nullptr;
  QRadioButton* Option4 = nullptr;
  widgets::ActionLabel* Label17 = nullptr;
  widgets::ActionLabel* Label3 = nullptr;

 private:
  void buildControls();
  QLabel* groupHeading(const QString& objectName, const QString& caption, int top);
  QCheckBox* checkBox(const QString& objectName, const QString& caption, int top);
  QRadioButton* optionButton(const QString& objectName, const QString& caption, int left, int right);
  std::array<QRadioButton*, 4> options() const;
  QCheckBox* box(SettingsBox which) const;

  // SettingsView
  bool isTicked(SettingsBox which) const override;
  void setTicked(SettingsBox which, bool ticked) override;
  std::optional<PeriodOption> selectedPeriod() const override;
  void selectPeriod(PeriodOption option) override;
  void setMonitorPeriod(int milliseconds) override;
  void closeDialog() override;

  QTimer& m_monitorTimer;
  SettingsPresenter m_presenter{*this};
};

}  // namespace halvik::ui
