#pragma once

#include "watch/Watcher.h"

#include <string>
#include <vector>

// The folders the companion watches: those stored in "WatchFolders" (each percent-encoded,
// separated by ";"), or the platform's defaults when it is empty. A stored folder that is a
// default watched without its subfolders (the home folder) keeps that: a whole home folder
// would cost a watch for each of its folders; so does a default that is a whole file system
// (every local file system is a default as root, where they can be marked whole).
namespace halvik::watch {

std::vector<WatchedFolder> watchedFolders();

// The stored folders as the dialog lists them: their paths, the defaults' when none is stored.
std::vector<std::string> watchedFolderPaths();

// Stores `paths` (empty text when they are the defaults' paths, so that later defaults apply).
void storeWatchedFolders(const std::vector<std::string>& paths);

}  // namespace halvik::watch
