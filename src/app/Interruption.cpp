#include "app/Interruption.h"

#include <cstdio>
#include <cstdlib>

#include "base/PendingFile.h"
#include "platform/Interrupts.h"

namespace bootdisk {

TRunTally& RunTally() {
    static TRunTally tally;
    return tally;
}

void EndRunsOnInterrupt() { CatchInterrupts(EndInterruptedRun); }

void EndInterruptedRun(int exitStatus) {
    AbandonScratchFiles();
    std::fflush(stdout);
    const auto& tally = RunTally();
    if (tally.total > 0)
        std::fprintf(stderr, "\ninterrupted: %d of %d copies made.\n", tally.done.load(), tally.total.load());
    else
        std::fprintf(stderr, "\ninterrupted: nothing was made.\n");
    std::fflush(stderr);
    std::_Exit(exitStatus);
}

}  // namespace bootdisk
