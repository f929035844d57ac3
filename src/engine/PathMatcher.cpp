#include "engine/PathMatcher.h"

#include "platform/Ascii.h"
#include "platform/Platform.h"

#include <algorithm>
#include <vector>

namespace halvik::engine {
namespace {

#ifdef _WIN32
bool isSeparator(char c) { return c == '\\' || c == '/'; }
bool sameByte(char a, char b) { return platform::upperCase(a) == platform::upperCase(b); }
#else
bool isSeparator(char c) { return c == '/'; }
bool sameByte(char a, char b) { return a == b; }
#endif

// One step of a pattern: a byte, "?", "*" or "**".
enum class Step { Byte, One, Run, AnyRun };

// Which lengths of `text` the pattern read so far can match, one flag per prefix length,
// advanced one step of the pattern at a time: linear in the text for each step, whatever the
// pattern, so that no pattern can make a match slow.
class Prefixes {
 public:
  explicit Prefixes(std::string_view text) : m_text(text), m_reached(text.size() + 1, false) { m_reached[0] = true; }

  void advance(Step step, char byte) {
    std::vector<bool> next(m_reached.size(), false);
    for (std::size_t length = 0; length < m_reached.size(); ++length) {
      const bool canTakeByte = length > 0 && (step == Step::AnyRun || !isSeparator(m_text[length - 1]));
      switch (step) {
        case Step::Byte:
          next[length] = length > 0 && m_reached[length - 1] && sameByte(m_text[length - 1], byte);
          break;
        case Step::One: next[length] = length > 0 && m_reached[length - 1] && canTakeByte; break;
        case Step::Run:
        case Step::AnyRun: next[length] = m_reached[length] || (canTakeByte && next[length - 1]); break;
      }
    }
    m_reached.swap(next);
  }

  bool whole() const { return m_reached.back(); }
  bool none() const { return std::find(m_reached.begin(), m_reached.end(), true) == m_reached.end(); }

 private:
  std::string_view m_text;
  std::vector<bool> m_reached;
};

bool matchesPattern(std::string_view pattern, std::string_view text) {
  Prefixes prefixes(text);
  for (std::size_t at = 0; at < pattern.size() && !prefixes.none(); ++at) {
    if (pattern[at] == '*') {
      const bool across = at + 1 < pattern.size() && pattern[at + 1] == '*';
      while (at + 1 < pattern.size() && pattern[at + 1] == '*') ++at;
      prefixes.advance(across ? Step::AnyRun : Step::Run, 0);
    } else {
      prefixes.advance(pattern[at] == '?' ? Step::One : Step::Byte, pattern[at]);
    }
  }
  return prefixes.whole();
}

}  // namespace

void PathMatcher::add(std::string pattern) {
  while (!pattern.empty() && isSeparator(pattern.back())) pattern.pop_back();
  if (pattern.empty()) return;
  const bool wholePath = std::any_of(pattern.begin(), pattern.end(), isSeparator);
  m_patterns.push_back({std::move(pattern), wholePath});
}

bool PathMatcher::matches(std::string_view path, std::string_view name) const {
  return std::any_of(m_patterns.begin(), m_patterns.end(), [&](const Pattern& pattern) {
    return matchesPattern(pattern.text, pattern.wholePath ? path : name);
  });
}

}  // namespace halvik::engine
