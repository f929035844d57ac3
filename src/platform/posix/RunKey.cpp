// The machine-wide Run key as an XDG autostart entry.
#include "platform/Ascii.h"
#include "platform/Platform.h"
#include "platform/posix/TempFile.h"

#include <cerrno>
#include <string_view>

namespace halvik::platform {
namespace {
constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Only the machine-wide Run key has an equivalent here; key names ignore case and may end
// with one backslash.
bool isMachineRunKey(RegistryRoot root, std::string_view keyPath) {
  if (root != RegistryRoot::LocalMachine) return false;
  if (!keyPath.empty() && keyPath.back() == '\\') keyPath.remove_suffix(1);
  return equalsIgnoringCase(keyPath, kRunKey);
}

// The entry file of `valueName`, or an empty text when the name could leave the folder.
std::string entryPath(const std::string& valueName, const std::string& autostartFolder) {
  if (valueName.empty() || valueName == "." || valueName == ".." ||
      valueName.find_first_of(std::string_view("/\0", 2)) != std::string::npos)
    return std::string();
  return autostartFolder + "/" + valueName + ".desktop";
}

// The escapes of a desktop entry string value: a value holds one line.
std::string escapeValue(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '\n': escaped += "\\n"; break;
      case '\r': escaped += "\\r"; break;
      case '\t': escaped += "\\t"; break;
      default: escaped.push_back(c);
    }
  }
  if (!escaped.empty() && escaped.front() == ' ') escaped.replace(0, 1, "\\s");
  return escaped;
}

// The Exec value running the program `path` as one argument: quoted when it holds a
// reserved character (with " ` $ \ escaped inside the quotes), "%" doubled as a literal, and
// finally the string value escapes, which a reader undoes first.
std::string execValue(std::string_view path) {
  constexpr std::string_view kReserved = " \t\n\r\"'\\><~|&;$*?#()`";
  std::string argument;
  if (path.find_first_of(kReserved) == std::string_view::npos) {
    argument = path;
  } else {
    argument = "\"";
    for (const char c : path) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') argument.push_back('\\');
      argument.push_back(c);
    }
    argument += "\"";
  }
  std::string literal;
  for (const char c : argument) {
    literal.push_back(c);
    if (c == '%') literal.push_back('%');
  }
  return escapeValue(literal);
}

// An entry that starts `data`, and only while that program is there (TryExec): a removed
// program leaves no broken start-up item.
std::string startingEntry(const std::string& valueName, const std::string& data) {
  return "[Desktop Entry]\nType=Application\nName=" + escapeValue(valueName) + "\nExec=" + execValue(data) +
         "\nTryExec=" + escapeValue(data) + "\nX-GNOME-Autostart-enabled=true\n";
}

Status writeEntry(const std::string& path, const std::string& entry) {
  return posix::writeAtomically(path, {},
                                [&](posix::TempFile& file) { return file.write(entry.data(), entry.size()); });
}

// The user's entry of `valueName`, its folder made (open to the user only) when missing.
Status writeUserEntry(const std::string& valueName, const std::string& userFolder, const std::string& entry) {
  const std::string path = entryPath(valueName, userFolder);
  if (path.empty() || userFolder.empty()) return Status::failure(EINVAL);
  if (Status folder = createOwnerFolders(userFolder); !folder) return folder;
  return writeEntry(path, entry);
}
}  // namespace

// Keys other than the machine-wide Run key, and names or data an entry cannot hold, are
// refused as invalid arguments.
Status setRunValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName, const std::string& data,
                   const std::string& autostartFolder) {
  const std::string path = entryPath(valueName, autostartFolder);
  if (!isMachineRunKey(root, keyPath) || path.empty() || data.empty() || data.find('\0') != std::string::npos)
    return Status::failure(EINVAL);
  // One folder level only: an autostart folder whose parent is missing is not ours to make.
  if (Status folder = createFolder(autostartFolder); !folder) return folder;
  return writeEntry(path, startingEntry(valueName, data));
}

Status deleteRunValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                      const std::string& autostartFolder) {
  const std::string path = entryPath(valueName, autostartFolder);
  if (!isMachineRunKey(root, keyPath) || path.empty()) return Status::failure(EINVAL);
  return deleteFile(path);
}

Status setUserRunValue(const std::string& valueName, const std::string& data, const std::string& userFolder) {
  if (data.empty() || data.find('\0') != std::string::npos) return Status::failure(EINVAL);
  return writeUserEntry(valueName, userFolder, startingEntry(valueName, data));
}

Status deleteUserRunValue(const std::string& valueName, const std::string& userFolder) {
  const std::string path = entryPath(valueName, userFolder);
  if (path.empty() || userFolder.empty()) return Status::failure(EINVAL);
  const Status removed = deleteFile(path);
  return removed.code() == ENOENT ? Status() : removed;
}

// The autostart rule: a user entry with Hidden=true stands for "deleted" and hides the
// machine-wide entry of the same name.
Status hideRunValue(const std::string& valueName, const std::string& userFolder) {
  return writeUserEntry(valueName, userFolder,
                        "[Desktop Entry]\nType=Application\nName=" + escapeValue(valueName) + "\nHidden=true\n");
}

}  // namespace halvik::platform
