#pragma once

#include "engine/ScanHit.h"

#include <string>

// The repair pass behind the results window's "Suivant": every ticked row not yet handled has
// its file deleted, after a copy into the quarantine when the user asked for one.
namespace halvik::scan {

// Images of the result list's rows.
inline constexpr int kImageFound = 1;
inline constexpr int kImageRemoved = 5;
inline constexpr int kImageFailed = 6;

// What the repair pass needs of the results window and of the main window's status page.
class RepairView {
 public:
  virtual ~RepairView() = default;
  virtual int rowCount() const = 0;
  virtual bool rowChecked(int row) const = 0;
  virtual int rowImage(int row) const = 0;
  virtual engine::mScanFiles::Hit rowHit(int row) const = 0;  // the row's path and what the walk saw of it
  virtual void setRowImage(int row, int image) = 0;
  virtual std::string tag() const = 0;  // Tag of lvScan
  virtual void setTag(const std::string& tag) = 0;
  virtual void hide() = 0;
  virtual void showObjectsRemoved(const std::string& total) = 0;  // lblStatus_Removed
  virtual void quarantineChanged() = 0;                           // the status page's quarantine count
  // The row's entry was gone before the pass reached it (told before its image is set).
  virtual void rowGone(int /*row*/) {}
};

// Stops a running walk, hides the window or marks the list "FIXED", then handles every ticked
// row that still shows image 1 (asking again before each row): image 5 when its file is gone
// (one that was gone before the pass is told through rowGone and not counted as removed),
// image 6 when it is still there,
// when the quarantine copy asked for could not be made (the file is then kept), or when the
// path names a folder (nothing is ever deleted recursively; a link is removed, not its target,
// and never copied into the quarantine, so with a copy asked for a link is kept).
// The entry is reached again from the walk's root one folder at a time, never through a link,
// and acted on only when every folder on the way and the entry itself are the ones the walk saw;
// otherwise nothing is touched, the row gets image 6 and the log says the entry changed.
// With a copy asked for, rows are handled in batches (RepairBatch.h): a row's image is set once
// the records of its batch's copies are written and its entry deleted; a row no longer ticked
// by then keeps its entry. The total of removed objects is shown at each removal and stored
// once, at the end of the pass.
void RunRepair(RepairView& view);

}  // namespace halvik::scan
