#pragma once

#include "core/StatusCounters.h"
#include "quarantine/QuarantinePresenter.h"

#include <QObject>

class QFrame;
class QLabel;
class QTreeWidget;
class QWidget;

namespace halvik::quarantine {

class SaveDialog;
}  // namespace halvik::quarantine

namespace halvik::widgets::Quillet {
class OrventoCmd;
}

namespace halvik::quarantine {

// The quarantine page (page 4 of the main window): the stored files, restore and delete.
// The controls live in the page's panel; the listing and the commands are QuarantinePresenter.
// The quarantine count of the status page is read again whenever the folder may have changed.
class QuarantinePage : public QObject, private QuarantineView {
  Q_OBJECT

 public:
  QuarantinePage(core::StatusCounters& status, QWidget* frame);

  // Rebuilds the list from the quarantine folder (the main window calls it on entering the page).
  void fill();

  // Controls of the page (object names as the member names).
  QLabel* Label13 = nullptr;
  QLabel* Label14 = nullptr;
  QTreeWidget* lvQuarintine = nullptr;
  widgets::Quillet::OrventoCmd* Label18 = nullptr;  // "&Restaurez"
  widgets::Quillet::OrventoCmd* Label17 = nullptr;  // "&Supprimez"
  QFrame* Line5 = nullptr;
  SaveDialog* CdRestore = nullptr;

 private:
  void createControls();

  void clearRows() override;
  void addRow(const QuarantineRow& row) override;
  std::optional<std::string> selectedStoredName() const override;
  void removeSelectedRow() override;
  std::optional<std::string> askRestorePath(const std::string& proposed) override;
  void quarantineChanged() override;

  core::StatusCounters& m_status;
  QWidget* m_frame;
  QuarantinePresenter m_logic{*this};
};

}  // namespace halvik::quarantine
