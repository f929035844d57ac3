#include "profile/ProfileEditor.h"

#include "profile/ProfileSyntax.h"

#include <unordered_map>
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

std::string folded(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = syntax::fold(c);
  return out;
}

std::string newLine(std::string_view key, std::string_view value) {
  return std::string(key).append("=").append(value).append("\r\n");
}

// Edits one parsed text. `m_text` is the part that is parsed (a final 0x1A byte stays after it).
class Editor {
 public:
  Editor(std::string_view text, std::string_view tail) : m_text(text), m_tail(tail), m_lines(splitLines(text)) {}

  // Sets each entry in the first section `section`: an existing key is updated where it stands,
  // new keys go together right after the section's last entry.
  std::optional<std::string> setValues(std::string_view section, std::span<const ProfileEntry> entries) {
    const std::size_t header = findHeader(section);
    std::unordered_map<std::string, std::size_t> existing;  // folded key -> its first line
    std::size_t insertAfter = header;
    for (std::size_t i = header + 1; i < m_lines.size() && m_lines[i].line.kind != LineKind::Header; ++i) {
      if (m_lines[i].line.kind != LineKind::Entry) continue;
      existing.emplace(folded(m_lines[i].line.name), i);
      insertAfter = i;
    }
    std::unordered_map<std::size_t, std::string_view> updated;  // line -> its new value
    std::vector<ProfileEntry> added;
    std::unordered_map<std::string, std::size_t> addedAt;  // folded key -> its place in `added`
    for (const ProfileEntry& entry : entries) {
      const bool commentKey = entry.key.starts_with(';');
      const std::string key = folded(entry.key);
      if (const auto line = existing.find(key); !commentKey && line != existing.end()) {
        updated[line->second] = entry.value;
      } else if (const auto at = addedAt.find(key); !commentKey && at != addedAt.end()) {
        added[at->second].value = entry.value;
      } else {
        if (!commentKey) addedAt.emplace(key, added.size());
        added.push_back(entry);
      }
    }
    std::string newLines;
    for (const ProfileEntry& entry : added) newLines += newLine(entry.key, entry.value);
    if (header == m_lines.size()) return newLines.empty() ? std::nullopt : appendSection(section, newLines);
    return rewritten(updated, insertAfter, newLines);
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

  std::optional<std::string> appendSection(std::string_view section, std::string_view lines) {
    std::string added;
    if (!m_text.empty() && m_text.back() != '\r' && m_text.back() != '\n') added = "\r\n";
    added.append("[").append(section).append("]\r\n").append(lines);
    return splice(m_text.size(), m_text.size(), added);
  }

  // The text with the values of `updated` lines changed and `newLines` after line `insertAfter`;
  // nullopt when that changes nothing.
  std::optional<std::string> rewritten(const std::unordered_map<std::size_t, std::string_view>& updated,
                                       std::size_t insertAfter, const std::string& newLines) const {
    bool changed = !newLines.empty();
    std::string out;
    out.reserve(m_text.size() + newLines.size() + m_tail.size());
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
      const syntax::LineSpan& span = m_lines[i].span;
      const auto value = updated.find(i);
      const auto line = value == updated.end() ? std::nullopt : updatedLine(m_lines[i], value->second);
      out.append(line ? std::string_view(*line) : m_text.substr(span.begin, span.end - span.begin));
      changed = changed || line;
      if (i != insertAfter || newLines.empty()) continue;
      if (!line && span.contentEnd == span.end) out.append("\r\n");
      out.append(newLines);
    }
    if (!changed) return std::nullopt;
    return out.append(m_tail);
  }

  // An entry's line with a new value: the text up to "=" and the white space after it stays,
  // then the new value and the line's own terminator (CR LF when it had none). nullopt when the
  // entry already reads as the new value, whatever its spacing, quotes or bytes after a NUL.
  std::optional<std::string> updatedLine(const EditLine& entry, std::string_view value) const {
    if (entry.line.hasEquals && syntax::stripQuotes(entry.line.value) == syntax::stripQuotes(syntax::trim(value)))
      return std::nullopt;
    const std::string_view content = m_text.substr(entry.span.begin, entry.span.contentEnd - entry.span.begin);
    std::string replaced = entry.line.hasEquals ? std::string(content.substr(0, entry.line.equalsEnd))
                                                : std::string(content.substr(0, entry.line.nameEnd)) + "=";
    replaced.append(value);
    const bool unterminated = entry.span.contentEnd == entry.span.end;
    replaced.append(unterminated ? std::string_view("\r\n")
                                 : m_text.substr(entry.span.contentEnd, entry.span.end - entry.span.contentEnd));
    return replaced;
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
  const ProfileEntry entry{*edit.key, *edit.value};
  return editor.setValues(edit.section, {&entry, 1});
}

std::optional<std::string> applyValues(std::string_view text, std::string_view section,
                                       std::span<const ProfileEntry> entries) {
  const std::size_t end = syntax::parseEnd(text);
  return Editor(text.substr(0, end), text.substr(end)).setValues(section, entries);
}

}  // namespace halvik::profile
