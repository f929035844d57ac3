#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <vector>

// Suspension of a process thread by thread, over a snapshot of every thread of the machine.
namespace halvik::process::mdlProcess {

// The last snapshot taken by ListThreads: thread identifier and owner process identifier.
const std::vector<platform::ThreadInfo>& ThreadList();

// Refills ThreadList with every thread of the machine and returns the index of its last entry,
// or -1 when no thread was read. The snapshot is not narrowed to `processId`: callers filter.
int ListThreads(std::uint32_t processId);

// Suspends every thread of the process `judged`, provided its identifier still names that process
// (same start time and image path): the process is held by its identity from that check to the
// last thread, so a process that has ended is never confused with a later one given its
// identifier. Never the program's own process, which could not resume itself. True when the
// suspension took effect (at least one thread suspended); otherwise the system's reason.
platform::Status SuspendProcess(const platform::ProcessInfo& judged);

// Lets every thread of the process `judged` run again, provided its identifier still names that
// process (as SuspendProcess checks). True when at least one thread was resumed.
platform::Status ResumeProcess(const platform::ProcessInfo& judged);

// Suspends one thread of the held process `owner`. True when it took effect.
platform::Status SuspendThreadById(std::uint32_t threadId, const platform::ProcessHandle& owner);

}  // namespace halvik::process::mdlProcess
