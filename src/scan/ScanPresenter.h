#pragma once

#include "core/StatusCounters.h"
#include "engine/mScanFiles.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The scan behind the scan page's "Suivant": counts the scan, opens a fresh results window and
// walks the roots of the chosen mode, writing progress and log lines.
namespace halvik::scan {

// The scan modes, by the index of the scan page's optScanMODE options.
enum class ScanMode { AllDrives = 0, CustomFolder = 1, QuickScan = 2 };

// What the folder chooser leaves in CustomScanFolder when its choice was cancelled.
inline constexpr const char* kCancelledChoice = "(CANCEL)";

// The root of a drive list entry: on Windows the entry in upper case and a separator ("C:\");
// elsewhere the mount point as it stands, since paths are not upper-cased there.
std::string DriveRoot(const std::string& entry);

// The folder of the custom scan: empty at start-up, set by the folder chooser.
const std::string& CustomScanFolder();
void setCustomScanFolder(const std::string& folder);

// The results window of one scan, as the walker sees it and through the scan's own captions.
class ScanView : public engine::mScanFiles::ScanView {
 public:
  virtual void clearResults() = 0;                         // the rows of lvScan
  virtual std::vector<std::string> drives() const = 0;     // the entries of the Drive list
  virtual void setOperation(const std::string& text) = 0;  // lblOperation
  virtual void finishResults() = 0;                        // lblGoAbort disabled, lblGoFix enabled
  virtual void yield() = 0;                                // hands control to the message loop for a moment
};

// One click of "Suivant". The results window may be closed, replaced by a later scan or
// destroyed while the walk yields, so the scan never keeps it: it asks for it again at every
// step and a window that is gone or hidden stops the walk. Nothing but that window is touched
// once the walk has yielded.
class ScanPresenter {
 public:
  // The results window of this scan while it exists; null once it is destroyed.
  using ResultsWindow = std::function<ScanView*()>;
  // Discards the results window of the previous scan and shows a fresh one.
  using OpenResults = std::function<ResultsWindow()>;

  ScanPresenter(core::StatusCounters& status, OpenResults openResults)
      : m_status(status), m_openResults(std::move(openResults)) {}

  // The scan in mode `mode`. The closing steps run however the walk ended; once a walk is
  // stopped ("Annuler", its window closed, another scan) no further root is walked.
  void run(ScanMode mode);

 private:
  void countScan();

  core::StatusCounters& m_status;
  OpenResults m_openResults;
};

}  // namespace halvik::scan
