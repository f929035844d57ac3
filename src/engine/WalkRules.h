#pragma once

#include "platform/Platform.h"

#include <string>
#include <string_view>

// The rules every walk of a folder tree keeps, whichever walks it: the window's walk and the
// parallel walk of the command line.
namespace halvik::engine {

// An empty root is the system's root; trailing separators are dropped, so that every path
// below is built as folder, separator, name ("/" itself becomes "").
std::string NormaliseRoot(std::string folder);

// True when the listed entry `name` of `folder`, with its listed `attributes`, is a folder the walk enters: a folder
// (never a link to one), possibly read-only, hidden or system, and nothing else.
bool IsWalkedFolder(const platform::FolderHandle& folder, std::string_view name, std::uint32_t attributes);

// The day log's line of a hit, with its fields for the system log.
void LogHit(const std::string& threatName, const std::string& path);

// The day log's line of a folder the walk could not read, `path` as the walk built it (empty
// for the system's root); returns the path as named.
std::string LogUnreadable(const std::string& path);

}  // namespace halvik::engine
