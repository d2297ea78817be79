// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Interruption.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "base/PendingFile.h"
#include "platform/Host.h"
#include "platform/Interrupts.h"

namespace bootdisk {

TRunTally& RunTally() {
    static TRunTally tally;
    return tally;
}

namespace {

std::string& Lead() {
    static std::string lead;
    return lead;
}

std::atomic<bool> stopOnly{false};
std::atomic<int> stopSignal{0};

// Leaves nothing that looks finished and says how far the run got.
void CleanUpInterruptedRun() {
    AbandonScratchFiles();
    std::fflush(stdout);
    const auto& tally = RunTally();
    // A progress line may be half drawn on a terminal; a log gets no empty line.
    const char* newline = StderrIsTerminal() ? "\n" : "";
    if (tally.total > 0)
        std::fprintf(stderr, "%s%sinterrupted: %d of %d copies made.\n", newline, Lead().c_str(), tally.done.load(),
                     tally.total.load());
    else
        std::fprintf(stderr, "%s%sinterrupted: nothing was made.\n", newline, Lead().c_str());
    std::fflush(stderr);
}

}  // namespace

void EndRunsOnInterrupt() {
    CatchInterrupts([](int signal) {
        if (stopOnly) {
            stopSignal = signal;
            return;
        }
        CleanUpInterruptedRun();
        EndBySignal(signal);
    });
}

void StopRunOnInterrupt() { stopOnly = true; }

int StopRequested() { return stopSignal; }

void SetInterruptionLead(std::string lead) { Lead() = std::move(lead); }

void EndInterruptedRun(int exitStatus) {
    CleanUpInterruptedRun();
    std::_Exit(exitStatus);
}

}  // namespace bootdisk
