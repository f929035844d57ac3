#pragma once

// What a program with a window says, and how it ends, when no window can be shown.
namespace halvik::widgets {

// The status of a program started without a display, as for a run error of the command line.
inline constexpr int kNoDisplayStatus = 2;

// The French line written to standard error.
extern const char* const kNoDisplayMessage;

// True when a window can be shown: the session names a display, or Qt is told to use a platform
// that needs none (offscreen, for instance). When not, writes the line and returns false: the
// program then ends with kNoDisplayStatus. Call it before the application object exists. From
// then on, Qt's own failure to start any platform (a display named but unreachable) gives the
// same line and status instead of an abort.
bool displayAvailable();

}  // namespace halvik::widgets
