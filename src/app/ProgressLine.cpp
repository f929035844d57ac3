#include "app/ProgressLine.h"

#include "app/HitLine.h"
#include "core/Settings.h"

#include <utility>

namespace halvik::app {
namespace {
constexpr std::int64_t kInterval = 100'000'000;  // ten lines a second at most
constexpr const char* kErase = "\r\x1b[K";
constexpr const char* kEllipsis = "\u2026";

// Characters, not bytes: a UTF-8 sequence is one column (wide characters aside).
std::size_t columnsOf(const std::string& text) {
  std::size_t columns = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++columns;
  return columns;
}

// The end of `text` in at most `columns` columns, after an ellipsis when it had to be cut.
std::string tail(const std::string& text, std::size_t columns) {
  if (columnsOf(text) <= columns) return text;
  if (columns == 0) return std::string();
  std::size_t start = text.size();
  for (std::size_t kept = 0; start > 0 && kept < columns - 1;) {
    --start;
    if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80) ++kept;
  }
  return kEllipsis + text.substr(start);
}

// `value` and its noun, which French leaves singular below two ("0 entrée", "1 entrée", "2 entrées").
std::string counted(double value, const std::string& singular, const std::string& plural) {
  return core::settings::numberText(value) + ' ' + (value < 2 ? singular : plural);
}
}  // namespace

ProgressLine::ProgressLine(std::ostream& err, int columns, std::function<std::int64_t()> now)
    : m_err(err),
      m_columns(columns > 1 ? static_cast<std::size_t>(columns) - 1 : 1),
      m_now(std::move(now)),
      m_start(m_now()) {}

void ProgressLine::update(const engine::WalkCounts& counts, const std::string& folder) {
  const std::int64_t now = m_now();
  if (m_shown && now - m_drawnAt < kInterval) return;
  m_err << kErase << text(counts, folder, now) << std::flush;
  m_drawnAt = now;
  m_shown = true;
}

void ProgressLine::clear() {
  if (!m_shown) return;
  m_err << kErase << std::flush;
  m_shown = false;
}

std::string ProgressLine::text(const engine::WalkCounts& counts, const std::string& folder, std::int64_t now) const {
  const double seconds = static_cast<double>(now - m_start) / 1e9;
  const double rate = seconds > 0 ? static_cast<double>(counts.scanned) / seconds : 0;
  const std::string figures =
      counted(static_cast<double>(counts.scanned), "entr\u00E9e", "entr\u00E9es") + ", " +
      counted(static_cast<double>(counts.hits), "objet malicieux", "objets malicieux") + ", " +
      counted(static_cast<double>(static_cast<std::uint64_t>(rate)), "entr\u00E9e/s", "entr\u00E9es/s") + ' ';
  const std::size_t used = columnsOf(figures);
  if (used >= m_columns) return tail(figures, m_columns);
  return figures + tail(escapedForLine(folder), m_columns - used);
}

}  // namespace halvik::app
