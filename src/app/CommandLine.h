#pragma once

#include <optional>
#include <string>
#include <vector>

// The program's command line: the window by default, or one of the terminal uses (help,
// version, a scan without a window). Parsing looks only at the words; whether the paths exist
// is checked apart (firstPathProblem), before anything is scanned or shown.
namespace halvik::app {

// Exit statuses, as Linux tools give them.
inline constexpr int kNothingFound = 0;
inline constexpr int kSomethingFound = 1;
inline constexpr int kUsageOrRunError = 2;

enum class Action {
  Window,      // the main window, possibly on a page, with the settings dialog, or scanning folders
  Scan,        // --scan: a scan without a window
  Watch,       // --watch: the watch of folders without a window, until interrupted
  Help,        // --help
  Version,     // --version
  Signatures,  // --signatures: the signature sets found
  Update,      // --update [SOURCE]: install a newer signature set
  Rollback,    // --rollback: back to the previous signature set
  Error,       // a usage error: `message` says which
};

// How a scan without a window writes what it finds (--format).
enum class Format { Text, Json };

struct Request {
  Action action = Action::Window;
  std::vector<std::string> paths{};  // the folders to scan (window or --scan) or watch, in order
  bool repair = false;               // --repair after --scan or --watch
  std::optional<int> page{};         // --page N, 0 to 4
  bool settings = false;             // --settings
  std::string message{};             // the one-line French message of a usage error
  std::string source{};              // --update's SOURCE; empty: the stored feed
  // Options of --scan alone.
  Format format = Format::Text;             // --format text|json
  bool quiet = false;                       // --quiet: hits only, no summary
  std::vector<std::string> excludes{};      // --exclude PATTERN, in order
  std::vector<std::string> excludeFiles{};  // --exclude-from FILE, in order
  unsigned jobs = 0;                        // --jobs N; 0: one thread per core
  bool allDrives = false;                   // --all-drives: the drives of the window's all-drives scan
};

// Reads the arguments that follow the program name. The first of --help, --version or a usage
// error, from the left, decides; "--" ends the options, so a folder may start with "-".
Request parse(const std::vector<std::string>& arguments);

// The text of --help and of --version, each ending in a line feed.
std::string helpText();
std::string versionText();

// A one-line French message for the first path that does not name an existing folder, or
// nullopt when every path does.
std::optional<std::string> firstPathProblem(const std::vector<std::string>& paths);

// `paths` made absolute against the working folder, lexically (no link is resolved), so that
// every path the program shows or stores is a full one.
std::vector<std::string> absolutePaths(const std::vector<std::string>& paths);

// "orvento-halvik : " followed by `text`: how every message on standard error starts.
std::string message(const std::string& text);

}  // namespace halvik::app
