#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <vector>

// Suspension of a process thread by thread, over a snapshot of every thread of the machine.
namespace mdlProcess {

// The last snapshot taken by ListThreads: thread identifier and owner process identifier.
const std::vector<platform::ThreadInfo>& ThreadList();

// Refills ThreadList with every thread of the machine and returns the index of its last entry,
// or -1 when no thread was read. The snapshot is not narrowed to `processId`: callers filter.
int ListThreads(std::uint32_t processId);

// Suspends every thread that `processId` owns now. Never the program's own process, which could
// not resume itself. No result: a failure is silent.
void SuspendProcess(std::uint32_t processId);

// Suspends one thread. Linux addresses a thread through its owner, so the owner comes with it.
void SuspendThreadById(std::uint32_t threadId, std::uint32_t ownerProcessId);

}  // namespace mdlProcess
