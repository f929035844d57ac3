#pragma once

#include <string>
#include <vector>

namespace halvik::scan {

// The controls of the folder chooser: the drive list Drive1 and the folder list Dir1.
class DirView {
 public:
  virtual ~DirView() = default;

  // Dir1 opens `folder`; false, with the list left as it was, when the folder cannot be listed.
  virtual bool openFolder(const std::string& folder) = 0;
  // The folder Dir1 has open (raw bytes).
  virtual std::string openedFolder() const = 0;
  // Drive1 lists `drives` (raw bytes) with entry `selected` chosen (none when -1). Filling the
  // list is not a change of drive.
  virtual void showDrives(const std::vector<std::string>& drives, int selected) = 0;
  virtual void closeChooser() = 0;
};

// The order of the folder list's subfolders: byte order, the dot-folders (".config") after the
// others, so that they are there to choose without crowding the top of the list.
void sortSubfolders(std::vector<std::string>& names);

// The folder chooser of the custom scan. "&Ok" stores the folder the list has open in
// CustomScanFolder and logs it; "&Annuler" stores "(CANCEL)"; closing it otherwise leaves
// CustomScanFolder as it was.
class DirPresenter {
 public:
  explicit DirPresenter(DirView& view) : m_view(view) {}

  // The folder list starts at the current folder (at the root when that cannot be listed); the
  // drive list shows the drives with the one holding that folder chosen.
  void open();

  // Drive1 changed to entry `index`: the folder list opens that drive. A drive that cannot be
  // listed (no medium, gone) and an index that names no drive are ignored, and the folder list
  // stays where it was.
  void driveChosen(int index);

  void accept();  // "&Ok"
  void cancel();  // "&Annuler"

 private:
  DirView& m_view;
  std::vector<std::string> m_drives;
};

}  // namespace halvik::scan
