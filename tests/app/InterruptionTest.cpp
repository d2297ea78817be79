// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Interruption.h"

#include <gtest/gtest.h>

#include "base/PendingFile.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

// The wizard's window closed mid-run and every signal end here.
TEST(InterruptionDeathTest, AnInterruptedRunRemovesTheScratchFileAndCountsTheCopies) {
    test::TTempDir temp;
    EXPECT_EXIT(
        {
            RunTally().total = 4;
            RunTally().done = 1;
            TPendingFile pending(temp / "out.iso");
            pending.Write("half", 4);
            EndInterruptedRun(kClosedMidRunStatus);
        },
        testing::ExitedWithCode(kClosedMidRunStatus), "interrupted: 1 of 4 copies made.");
    EXPECT_FALSE(test::HasScratchFile(temp.Path()));
}

}  // namespace
}  // namespace bootdisk
