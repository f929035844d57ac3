#pragma once

#include <cstdint>
#include <string>

namespace halvik::process {

// The process list of the monitor page as the refresh sees it: rows are only ever appended, each
// with the image path as its text, two verdict columns and a tag naming the listed process.
class ProcessListView {
 public:
  virtual ~ProcessListView() = default;

  virtual void clear() = 0;
  // Appends a row whose text is `imagePath` (raw bytes) and returns its index.
  virtual int addRow(const std::string& imagePath) = 0;
  // Columns "Status des Adwares" and "Action Taken".
  virtual void setSubItems(int row, const std::string& status, const std::string& action) = 0;
  // The row's tag: the process identifier, with the start time that tells a reused identifier apart.
  virtual void setTag(int row, std::uint32_t processId, std::uint64_t startTime) = 0;
};

}  // namespace halvik::process
