#include "companion/MonitorSweep.h"

#include "process/ProcessListView.h"
#include "process/mProcess.h"

namespace halvik::companion {
namespace {
class RowCollector : public process::ProcessListView {
 public:
  std::vector<SweepRow> rows;

  void clear() override { rows.clear(); }
  int addRow(const std::string& imagePath) override {
    rows.push_back(SweepRow{0, 0, imagePath, {}, {}});
    return static_cast<int>(rows.size()) - 1;
  }
  void setSubItems(int row, const std::string& status, const std::string& action) override {
    rows[static_cast<std::size_t>(row)].status = status;
    rows[static_cast<std::size_t>(row)].action = action;
  }
  void setTag(int row, std::uint32_t processId, std::uint64_t startTime) override {
    rows[static_cast<std::size_t>(row)].processId = processId;
    rows[static_cast<std::size_t>(row)].startTime = startTime;
  }
};
}  // namespace

std::vector<SweepRow> MonitorSweep::run() {
  RowCollector collector;
  process::mProcess::RefreshProcessList(collector);
  return std::move(collector.rows);
}

}  // namespace halvik::companion
