#pragma once

#include "engine/ScanHit.h"

#include <functional>
#include <string>

// The scanning module: walks one folder tree and looks every entry up, by its bare name, in
// the signature database. Each hit becomes a ticked row of the results window and a log line.
// The walk runs on the caller's thread and hands control back through a yield callback, from
// inside which the user may cancel the walk, close the results window or start another scan.
// It yields once the environment's yield interval has passed since it last updated the
// captions, and at the end of each folder and of the walk.
namespace halvik::engine::mScanFiles {

// What the walker needs of the results window.
class ScanView {
 public:
  virtual ~ScanView() = default;
  virtual bool visible() const = 0;
  virtual void close() = 0;
  // Captions of lblCurFile, lblObjectsScanned and lblMaliciousObjects.
  virtual void setCurFile(const std::string& path) = 0;
  virtual void setObjectsScanned(const std::string& count) = 0;
  virtual void setMaliciousObjects(const std::string& count) = 0;
  // A ticked row with image 1: threat name in upper case, full path as raw bytes, and what the
  // walk saw of the entry for the repair.
  virtual void addHit(const Hit& hit) = 0;
  // A folder the walk could not open or list (raw bytes), already logged; nothing to show by default.
  virtual void addUnreadableFolder(const std::string& path) { (void)path; }
};

// Hands control to the message loop for a moment.
using Yield = std::function<void()>;

// A walk is in progress; clearing it is how a walk is cancelled.
bool ScanRunning();
void setScanRunning(bool running);

// Entries looked up and hits found since the last StartScan.
double ObjectsScanned();
double ThreatsFound();

// Folders the walks since the last StartScan could not open or list (a folder on another file
// system, which is never entered, is not one of them). Each is named in a log line and handed
// to the view as it is met.
double UnreadableFolders();

// Walks `sFolder` (entries matching `sPattern`) when the view is visible and no walk is running.
// A start while a walk is running stops that walk and walks nothing; a start on a hidden view
// closes it and walks nothing. True when a walk ran to its end; false when it walked nothing or
// was stopped (cancelled, its window closed, or another start).
bool StartScan(const std::string& sPattern, const std::string& sFolder, ScanView& view, const Yield& yield);

// The walk itself: every subfolder first, depth-first, then the folder's own entries in listing
// order. Hidden and system entries are never looked up nor entered (on Linux nothing is hidden: a
// dot-name is walked like any other, while FIFOs, sockets and devices stay system entries), symbolic links are never
// followed, folders on another file system are not entered, and a folder that is one of the
// folders above it (bound inside itself) is not entered again. A name with blanks at either end
// is never a hit. Stops at its next check once ScanRunning is cleared.
void ScanFolder(const std::string& sPattern, const std::string& sFolder, ScanView& view, const Yield& yield);

}  // namespace halvik::engine::mScanFiles
