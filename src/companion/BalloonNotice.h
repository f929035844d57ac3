#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace halvik::companion {

// The Windows tray shows one balloon at a time, without buttons, and tells only that a balloon
// was clicked: the click is for the balloon shown last. BalloonNotice remembers that balloon, so
// that a click on a notice with actions offers them (once) and a click on any other balloon
// opens the program, as before.
class BalloonNotice {
 public:
  struct Offer {
    std::uint32_t notice = 0;  // the caller's number of the notice
    std::string summary;
    std::string body;
    std::vector<std::pair<std::string, std::string>> actions;  // key and caption of each
  };

  // A balloon was shown: a notice with actions, or (nullopt) one without.
  void shown(std::optional<Offer> offer);
  // The balloon was clicked: the actions of its notice to offer, taken (the next click of the same
  // balloon offers nothing); nullopt when it has none.
  std::optional<Offer> clicked();

 private:
  std::optional<Offer> m_shown;
};

}  // namespace halvik::companion
