#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a second start of the window hands to the window already running for the same user and
// program folder: its page, its settings request, its folders (raw bytes, any name) and the token
// its launcher gave it to bring a window forward. One frame on the local socket or pipe:
// "<length>:<items>," whose items are netstrings ("<length>:<bytes>,"): the page ("" or its
// digit), "1" or "0" for --settings, the token ("" when none), then each folder in order.
namespace halvik::app {

struct Handover {
  std::optional<int> page{};
  bool settings = false;
  std::vector<std::string> folders{};
  // The later start's XDG_ACTIVATION_TOKEN (Wayland) or DESKTOP_STARTUP_ID (X11): the running
  // window comes forward with it where the desktop keeps windows from stealing the focus.
  std::string activation{};
};

std::string encode(const Handover& handover);

// A frame read so far: Incomplete until every byte of it has come, Malformed when it can never
// be one (the reader then drops the connection).
struct Decoded {
  enum class State { Incomplete, Malformed, Complete } state = State::Incomplete;
  Handover handover{};
};
Decoded decode(std::string_view bytes);

// The local server of the window of this user (the runtime folder is theirs) and program folder:
// a socket in the runtime folder on Linux, a pipe name on Windows. A portable copy never reaches
// the installed one.
std::string instanceServerName(const std::string& runtimeFolder, const std::string& programFolder);

}  // namespace halvik::app
