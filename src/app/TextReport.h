#pragma once

#include "app/ScanReport.h"

#include <ostream>

namespace halvik::app {

// The report of --format text: a hit line per hit on standard output as it is found, a line
// per hit saying what the repair did, and the summary in French on standard error (the count
// of excluded entries only when exclusions were given; no summary with --quiet). Each unreadable
// folder gets a line on standard error as it is met (not with --quiet); excluded entries are
// only counted.
class TextReport : public ScanReport {
 public:
  TextReport(std::ostream& out, std::ostream& err, bool quiet, bool exclusions)
      : m_out(out), m_err(err), m_quiet(quiet), m_exclusions(exclusions) {}

  void hit(const engine::mScanFiles::Hit& hit) override;
  void unreadable(const std::string& path) override;
  void excluded(const std::string&) override {}
  void repaired(const engine::mScanFiles::Hit& hit, HitAction action) override;
  void summary(const ScanSummary& summary) override;

 private:
  std::ostream& m_out;
  std::ostream& m_err;
  bool m_quiet;
  bool m_exclusions;
};

}  // namespace halvik::app
