#include "app/ProgressReport.h"

namespace halvik::app {

void ProgressReport::hit(const engine::mScanFiles::Hit& hit) {
  m_line.clear();
  m_report.hit(hit);
}

void ProgressReport::unreadable(const std::string& path) {
  m_line.clear();
  m_report.unreadable(path);
}

void ProgressReport::excluded(const std::string& path) {
  m_line.clear();
  m_report.excluded(path);
}

void ProgressReport::repaired(const engine::mScanFiles::Hit& hit, HitAction action) {
  m_line.clear();
  m_report.repaired(hit, action);
}

void ProgressReport::summary(const ScanSummary& summary) {
  m_line.clear();
  m_report.summary(summary);
}

}  // namespace halvik::app
