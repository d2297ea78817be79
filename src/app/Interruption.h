// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An interrupted run (a signal, the console's break, the wizard's window closed by the system)
// leaves nothing that looks finished: the scratch file of the copy in hand is removed, stderr says
// how many copies were made, and the exit status is not zero.
#include <atomic>
#include <string>

namespace bootdisk {

// The run in hand, readable from the thread that handles an interruption.
struct TRunTally {
    std::atomic<int> done{0};
    std::atomic<int> total{0};
};

TRunTally& RunTally();

// The exit status of a run ended by closing its window, as a hang-up ends a terminal's.
inline constexpr int kClosedMidRunStatus = 129;

// Ends the process this way on every interruption from now on, then by the signal itself, so that
// a shell running a loop over several drives stops there too.
void EndRunsOnInterrupt();
// Put before the message of an interruption, such as "bootdisk create: "; set before a run starts.
void SetInterruptionLead(std::string lead);

[[noreturn]] void EndInterruptedRun(int exitStatus);

// For a run that ends itself, as a server does: from now on an interruption only asks it to stop.
void StopRunOnInterrupt();
// The signal of the interruption that asked the run to stop; 0 while none came.
int StopRequested();

}  // namespace bootdisk
