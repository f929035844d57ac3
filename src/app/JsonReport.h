#pragma once

#include "app/ScanReport.h"

#include <ostream>

namespace halvik::app {

// The report of --format json: JSON Lines on standard output, the summary object last (left
// out with --quiet, as are the unreadable and excluded objects). A scan alone writes each hit
// as it is found ("found"); with the repair each hit is written once, after it, with what the
// repair did.
class JsonReport : public ScanReport {
 public:
  JsonReport(std::ostream& out, bool quiet, bool repair) : m_out(out), m_quiet(quiet), m_repair(repair) {}

  void hit(const engine::mScanFiles::Hit& hit) override;
  void unreadable(const std::string& path) override;
  void excluded(const std::string& path) override;
  void repaired(const engine::mScanFiles::Hit& hit, HitAction action) override;
  void summary(const ScanSummary& summary) override;

 private:
  std::ostream& m_out;
  bool m_quiet;
  bool m_repair;
};

}  // namespace halvik::app
