#pragma once

#include "quarantine/QuarantinePageLogic.h"

#include <QObject>

class frmMain;
class QFrame;
class QLabel;
class QTreeWidget;
class QWidget;
class SaveDialog;
namespace Quillet {
class OrventoCmd;
}

// The quarantine page (page 4 of the main window): the stored files, restore and delete.
// The controls live in the page's panel; the listing and the commands are QuarantinePageLogic.
class QuarantinePage : public QObject, private QuarantinePageView {
  Q_OBJECT

 public:
  QuarantinePage(frmMain& main, QWidget* frame);

  // Rebuilds the list from the quarantine folder (the main window calls it on entering the page).
  void fill();

  // Controls of the page (object names as the member names).
  QLabel* Label13 = nullptr;
  QLabel* Label14 = nullptr;
  QTreeWidget* lvQuarintine = nullptr;
  Quillet::OrventoCmd* Label18 = nullptr;  // "&Restaurez"
  Quillet::OrventoCmd* Label17 = nullptr;  // "&Supprimez"
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

  frmMain& m_main;
  QWidget* m_frame;
  QuarantinePageLogic m_logic{*this};
};
