#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace halvik::engine {

// The exclusions of a scan from the command line. A pattern that holds a separator is matched
// against the whole path of an entry; one without against the entry's own name, so that it
// excludes that name at any depth. "*" matches any run of bytes but a separator, "?" one byte
// but a separator, "**" any run of bytes, separators included; every other byte stands for
// itself, compared as the system's file names are: exactly on Linux, without regard to the case
// of ASCII letters on Windows (where "/" in a pattern is a separator too). Separators at the end
// of a pattern are ignored. These are not the listing's wildcards (platform::matchesWildcard),
// whose "*" crosses nothing and whose "*.*" matches every name.
class PathMatcher {
 public:
  // Adds one pattern; a pattern that is empty once its final separators are dropped is ignored.
  void add(std::string pattern);

  bool empty() const { return m_patterns.empty(); }

  // True when a pattern matches the entry `name` whose full path is `path`.
  bool matches(std::string_view path, std::string_view name) const;

 private:
  struct Pattern {
    std::string text;
    bool wholePath = false;
  };
  std::vector<Pattern> m_patterns;
};

}  // namespace halvik::engine
