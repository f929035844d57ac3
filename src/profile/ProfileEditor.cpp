#include "profile/ProfileEditor.h"

#include "profile/ProfileSyntax.h"

#include <vector>

namespace halvik::profile {
namespace {

using syntax::LineKind;

struct EditLine {
  syntax::LineSpan span;
  syntax::Line line;
};

std::vector<EditLine> splitLines(std::string_view text) {
  std::vector<EditLine> lines;
  for (std::size_t pos = 0; pos < text.size();) {
    const syntax::LineSpan span = syntax::lineAt(text, pos);
    lines.push_back({span, syntax::classify(text.substr(span.begin, span.contentEnd - span.begin))});
    pos = span.end;
  }
  return lines;
}

bool isHeader(const EditLine& line, std::string_view section) {
  return line.line.kind == LineKind::Header && syntax::foldEqual(line.line.name, section);
}

bool isEntry(const EditLine& line, std::string_view key) {
  return line.line.kind == LineKind::Entry && syntax::foldEqual(line.line.name, key);
}

std::string newLine(std::string_view key, std::string_view value) {
  return std::string(key).append("=").append(value).append("\r\n");
}

// Edits one parsed text. `m_text` is the part that is parsed (a final 0x1A byte stays after it).
class Editor {
 public:
  Editor(std::string_view text, std::string_view tail) : m_text(text), m_tail(tail), m_lines(splitLines(text)) {}

  std::optional<std::string> setValue(std::string_view section, std::string_view key, std::string_view value) {
    const std::size_t header = findHeader(section);
    if (header == m_lines.size()) return appendSection(section, key, value);
    std::size_t insertAfter = header;
    const bool commentKey = key.starts_with(';');
    for (std::size_t i = header + 1; i < m_lines.size() && m_lines[i].line.kind != LineKind::Header; ++i) {
      if (m_lines[i].line.kind != LineKind::Entry) continue;
      if (!commentKey && isEntry(m_lines[i], key)) return updateLine(m_lines[i], value);
      insertAfter = i;
    }
    const syntax::LineSpan& after = m_lines[insertAfter].span;
    const bool unterminated = after.contentEnd == after.end;
    return splice(after.end, after.end, (unterminated ? "\r\n" : "") + newLine(key, value));
  }

  std::optional<std::string> deleteKey(std::string_view section, std::string_view key) {
    const std::size_t header = findHeader(section);
    if (header == m_lines.size() || key.starts_with(';')) return std::nullopt;
    std::vector<bool> removed(m_lines.size(), false);
    bool any = false;
    for (std::size_t i = header + 1; i < m_lines.size() && m_lines[i].line.kind != LineKind::Header; ++i) {
      if (isEntry(m_lines[i], key)) removed[i] = any = true;
    }
    return any ? std::optional(without(removed)) : std::nullopt;
  }

  std::optional<std::string> deleteSection(std::string_view section) {
    std::vector<bool> removed(m_lines.size(), false);
    bool any = false;
    bool inside = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
      const LineKind kind = m_lines[i].line.kind;
      if (kind == LineKind::Header) inside = isHeader(m_lines[i], section);
      if (inside && kind != LineKind::Comment) removed[i] = any = true;
    }
    return any ? std::optional(without(removed)) : std::nullopt;
  }

 private:
  std::size_t findHeader(std::string_view section) const {
    std::size_t i = 0;
    while (i < m_lines.size() && !isHeader(m_lines[i], section)) ++i;
    return i;
  }

  std::optional<std::string> appendSection(std::string_view section, std::string_view key, std::string_view value) {
    std::string added;
    if (!m_text.empty() && m_text.back() != '\r' && m_text.back() != '\n') added = "\r\n";
    added.append("[").append(section).append("]\r\n").append(newLine(key, value));
    return splice(m_text.size(), m_text.size(), added);
  }

  // Rewrites an entry's value: the text up to "=" and the white space after it stays, then
  // the new value and the line's own terminator (CR LF when it had none). An entry that
  // already reads as the new value is left alone, whatever its spacing, quotes or bytes
  // after a NUL.
  std::optional<std::string> updateLine(const EditLine& entry, std::string_view value) {
    if (entry.line.hasEquals && syntax::stripQuotes(entry.line.value) == syntax::stripQuotes(syntax::trim(value)))
      return std::nullopt;
    const std::string_view content = m_text.substr(entry.span.begin, entry.span.contentEnd - entry.span.begin);
    std::string replaced = entry.line.hasEquals ? std::string(content.substr(0, entry.line.equalsEnd))
                                                : std::string(content.substr(0, entry.line.nameEnd)) + "=";
    replaced.append(value);
    const bool unterminated = entry.span.contentEnd == entry.span.end;
    replaced.append(unterminated ? std::string_view("\r\n")
                                 : m_text.substr(entry.span.contentEnd, entry.span.end - entry.span.contentEnd));
    return splice(entry.span.begin, entry.span.end, replaced);
  }

  std::string splice(std::size_t from, std::size_t to, std::string_view replacement) const {
    std::string out;
    out.reserve(m_text.size() + replacement.size() + m_tail.size());
    out.append(m_text.substr(0, from)).append(replacement).append(m_text.substr(to)).append(m_tail);
    return out;
  }

  std::string without(const std::vector<bool>& removed) const {
    std::string out;
    out.reserve(m_text.size() + m_tail.size());
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
      if (!removed[i]) out.append(m_text.substr(m_lines[i].span.begin, m_lines[i].span.end - m_lines[i].span.begin));
    }
    return out.append(m_tail);
  }

  std::string_view m_text;
  std::string_view m_tail;
  std::vector<EditLine> m_lines;
};

}  // namespace

std::optional<std::string> applyEdit(std::string_view text, const ProfileEdit& edit) {
  const std::size_t end = syntax::parseEnd(text);
  Editor editor(text.substr(0, end), text.substr(end));
  if (!edit.key) return editor.deleteSection(edit.section);
  if (!edit.value) return editor.deleteKey(edit.section, *edit.key);
  return editor.setValue(edit.section, *edit.key, *edit.value);
}

}  // namespace halvik::profile
