#include "monitor/MonitorSweep.h"

#include "process/ProcessListView.h"
#include "process/mProcess.h"

namespace halvik::monitor {
namespace {
class RowCollector : public process::ProcessListView {
 public:
  explicit RowCollector(std::vector<SweepRow>& rows) : m_rows(rows) {}

  void clear() override { m_rows.clear(); }
  int addRow(const std::string& imagePath) override {
    m_rows.push_back(SweepRow{0, 0, imagePath, {}, {}});
    return static_cast<int>(m_rows.size()) - 1;
  }
  void setSubItems(int row, const std::string& status, const std::string& action) override {
    m_rows[static_cast<std::size_t>(row)].status = status;
    m_rows[static_cast<std::size_t>(row)].action = action;
  }
  void setTag(int row, std::uint32_t processId, std::uint64_t startTime) override {
    m_rows[static_cast<std::size_t>(row)].processId = processId;
    m_rows[static_cast<std::size_t>(row)].startTime = startTime;
  }

 private:
  std::vector<SweepRow>& m_rows;
};
}  // namespace

std::vector<SweepRow> MonitorSweep::run() {
  RowCollector collector(m_rows);
  process::mProcess::RefreshProcessList(collector);
  return m_rows;
}

}  // namespace halvik::monitor
