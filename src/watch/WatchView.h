#pragma once

#include <cstdint>
#include <string>

namespace halvik::watch {

// What the watch's decisions need of the desktop: notices, with or without the two actions
// "Mettre en quarantaine" and "Ignorer". Texts are plain text, never markup.
class WatchView {
 public:
  virtual ~WatchView() = default;
  // Shows a notice and gives its number, which the actions chosen on it come back with.
  virtual std::uint32_t showNotice(const std::string& title, const std::string& body, bool withActions) = 0;
};

}  // namespace halvik::watch
