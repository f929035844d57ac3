#pragma once

#include <optional>
#include <string>

namespace halvik::quarantine {

// One row of the quarantine list: the stored name (raw bytes), the threat name of its source
// name (empty when the signature database does not list it) and its size in decimal digits.
struct QuarantineRow {
  std::string storedName;
  std::string threatName;
  std::string size;
};

// The controls of the quarantine page that the listing and the two commands use.
class QuarantineView {
 public:
  virtual ~QuarantineView() = default;

  virtual void clearRows() = 0;
  virtual void addRow(const QuarantineRow& row) = 0;

  // The stored name (raw bytes) of the selected row; nullopt when no row is selected.
  virtual std::optional<std::string> selectedStoredName() const = 0;
  virtual void removeSelectedRow() = 0;

  // Asks where to restore a file, proposing `proposed` (a file name or a full path): the chosen
  // full path, or nullopt when the user cancels.
  virtual std::optional<std::string> askRestorePath(const std::string& proposed) = 0;

  // The quarantine folder has lost a file (restored or deleted).
  virtual void quarantineChanged() = 0;
};

// The listing and the "Restaurez" and "Supprimez" commands of the quarantine page. They stop
// silently at the first failing step and leave the list as it was.
class QuarantinePresenter {
 public:
  explicit QuarantinePresenter(QuarantineView& view) : m_view(view) {}

  // Lists the quarantine folder afresh: one row per stored file, in name order, with the threat
  // name of the file's source name (for a numbered copy such as "setup (2).exe.aaq", of the name
  // it was detected under). The threat lookups write nothing to the activity log.
  void fill();

  // Copies the selected file to a path the user picks (the recorded original full path is
  // proposed, or without a record the name it was detected under), then removes it from the
  // quarantine and from the list.
  void restoreSelected();

  // Deletes the selected file from the quarantine for good (no question) and drops its row.
  void deleteSelected();

 private:
  std::optional<std::string> selectedStoredName() const;

  QuarantineView& m_view;
};

}  // namespace halvik::quarantine
