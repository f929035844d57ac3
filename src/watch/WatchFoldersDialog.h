#pragma once

#include "watch/WatchSettingsPresenter.h"

#include <QDialog>

class QCheckBox;
class QListWidget;

namespace halvik::watch {

// "Dossiers surveillés": the watched folders with "Ajouter..." and "Retirer", the switches
// "Surveillance des fichiers" and "Quarantaine automatique"; "OK" stores them.
class WatchFoldersDialog : public QDialog, public WatchSettingsView {
 public:
  explicit WatchFoldersDialog(QWidget* parent = nullptr);

  void showFolders(const std::vector<std::string>& folders) override;
  std::vector<std::string> folders() const override;
  int selectedFolder() const override;
  void showSwitches(bool watchFiles, bool autoQuarantine) override;
  bool watchFiles() const override;
  bool autoQuarantine() const override;
  std::optional<std::string> chooseFolder() override;

 private:
  WatchSettingsPresenter m_presenter{*this};
  QListWidget* lstFolders;
  QCheckBox* chkWatchFiles;
  QCheckBox* chkAutoQuarantine;
};

}  // namespace halvik::watch
