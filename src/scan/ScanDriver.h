#pragma once

#include "engine/mScanFiles.h"

#include <string>
#include <vector>

// The scan driver behind the scan page's "Suivant": counts the scan, opens a fresh results
// window and walks the roots of the chosen mode, writing progress and log lines.
namespace halvik::scan {

// The scan modes, by the index of the scan page's optScanMODE options.
enum class ScanMode { AllDrives = 0, CustomFolder = 1, QuickScan = 2 };

// What the folder chooser leaves in CustomScanFolder when its choice was cancelled.
inline constexpr const char* kCancelledChoice = "(CANCEL)";

// The folder of the custom scan: empty at start-up, set by the folder chooser.
const std::string& CustomScanFolder();
void setCustomScanFolder(const std::string& folder);

// What the driver needs of the windows: the results window, as the walker sees it and through
// the driver's own captions, and the main window's status page.
class ScanDriverView : public engine::mScanFiles::ScanView {
 public:
  virtual void showTotalScans(const std::string& total) = 0;  // lblStatus_Total
  virtual void reopenResults() = 0;                            // discard the results window, show a fresh one
  virtual void clearResults() = 0;                             // the rows of lvScan
  virtual std::vector<std::string> drives() const = 0;         // the entries of the results window's Drive list
  virtual void setOperation(const std::string& text) = 0;      // lblOperation
  virtual void finishResults() = 0;                            // lblGoAbort disabled, lblGoFix enabled
  virtual void yield() = 0;
};

// One click of "Suivant" in mode `mode`. The closing steps run however the walk ended; once a
// walk is stopped ("Annuler", its window closed, another scan) no further root is walked.
void RunScan(ScanMode mode, ScanDriverView& view);

}  // namespace halvik::scan
