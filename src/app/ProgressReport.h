#pragma once

#include "app/ProgressLine.h"
#include "app/ScanReport.h"

namespace halvik::app {

// A report with a progress line under it on the terminal: the line is erased before anything
// else is written, and drawn again at the walk's next progress.
class ProgressReport : public ScanReport {
 public:
  ProgressReport(ScanReport& report, ProgressLine& line) : m_report(report), m_line(line) {}

  void hit(const engine::mScanFiles::Hit& hit) override;
  void unreadable(const std::string& path) override;
  void excluded(const std::string& path) override;
  void repaired(const engine::mScanFiles::Hit& hit, HitAction action) override;
  void summary(const ScanSummary& summary) override;

 private:
  ScanReport& m_report;
  ProgressLine& m_line;
};

}  // namespace halvik::app
