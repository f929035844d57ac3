#pragma once

#include "engine/ParallelWalk.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace halvik::app {

// The one self-overwriting line a scan shows on a terminal: entries seen, hits, entries per
// second and the folder being walked, cut at its start to fit the terminal. Drawn at most ten
// times a second; the folder's control bytes are escaped as in hit lines, so that a name cannot
// steer the terminal.
class ProgressLine {
 public:
  // `now` reads a monotonic clock in nanoseconds.
  ProgressLine(std::ostream& err, int columns, std::function<std::int64_t()> now);

  // Draws the line again, unless it was drawn less than a tenth of a second ago.
  void update(const engine::WalkCounts& counts, const std::string& folder);
  // Erases the line, so that other text can be written where it was.
  void clear();

 private:
  std::string text(const engine::WalkCounts& counts, const std::string& folder, std::int64_t now) const;

  std::ostream& m_err;
  std::size_t m_columns;
  std::function<std::int64_t()> m_now;
  std::int64_t m_start;
  std::int64_t m_drawnAt = 0;
  bool m_shown = false;
};

}  // namespace halvik::app
