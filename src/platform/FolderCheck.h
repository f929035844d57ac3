#pragma once

#include <string>

namespace halvik::platform {

// What a symbolic link (on Windows also a junction) that leads to a folder counts as.
enum class Links {
  NotFolders,  // a link is never a folder, wherever it leads
  Followed,    // a link to a folder is a folder: for callers that go through links on purpose
};

// True when `path` names a folder. By default a link is not one; with Links::Followed a link
// to a folder is (on Windows a link counts by its own folder bit, as the system lists it).
// False when nothing is there or it cannot be read.
bool isFolder(const std::string& path, Links links = Links::NotFolders);

}  // namespace halvik::platform
