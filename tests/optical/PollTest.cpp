// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/Poll.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "optical/ScsiCommands.h"
#include "platform/sim/SimWriter.h"

namespace bootdisk {
namespace {

using namespace std::chrono_literals;

class PollTest : public ::testing::Test {
protected:
    TScsiResult Poll(const TScsiRequest& command) {
        options.sleep = [this](std::chrono::milliseconds pause) { pauses.push_back(pause); };
        return PollUntilComplete(writer, command, [this] { ++callbacks; }, options);
    }
    std::size_t DiscInformationPolls() const {
        return std::size_t(std::count_if(writer.Commands().begin(), writer.Commands().end(), [](const auto& c) {
            return c.cdb[0] == scsi::kReadDiscInformation;
        }));
    }

    TSimWriter writer;
    TPollOptions options;
    std::vector<std::chrono::milliseconds> pauses;
    int callbacks = 0;
};

TEST_F(PollTest, BusyPollsCallTheCallbackAndPauseUntilTheDriveAnswers) {
    writer.Config().busyPolls = 3;
    options.pause = 15ms;
    EXPECT_EQ(Poll(SynchronizeCache()), kScsiOk);
    EXPECT_EQ(callbacks, 3);
    EXPECT_EQ(DiscInformationPolls(), 4u);
    EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>(3, 15ms));
}

TEST_F(PollTest, CommandThatCompletesAtOnceIsPolledOnce) {
    writer.Config().busyPolls = 0;
    EXPECT_EQ(Poll(CloseSession()), kScsiOk);
    EXPECT_EQ(callbacks, 0);
    EXPECT_EQ(DiscInformationPolls(), 1u);
}

TEST_F(PollTest, RefusedCommandReturnsAtOnceWithoutPolling) {
    writer.Config().failingOpcode = scsi::kSynchronizeCache;
    EXPECT_EQ(Poll(SynchronizeCache()), 1);
    EXPECT_EQ(writer.Commands().size(), 1u);
    EXPECT_EQ(callbacks, 0);
}

TEST_F(PollTest, DriveThatNeverCompletesGivesUpAfterThePollLimit) {
    writer.Config().neverCompletes = true;
    options.maxPolls = 50;
    EXPECT_EQ(Poll(CloseTrack()), kScsiPollTimeout);
    EXPECT_EQ(DiscInformationPolls(), 50u);
    EXPECT_EQ(callbacks, 50);
    EXPECT_EQ(pauses.size(), 50u);
    EXPECT_GE(TPollOptions{}.maxPolls * TPollOptions{}.pause, 5min);  // generous for a slow drive
}

// A drive that stops taking commands after accepting the immediate one: the wait ends after a few
// undelivered polls in a row, not after the whole poll limit; a refusal in between starts the
// count again.
TEST_F(PollTest, UndeliveredPollsInARowEndTheWait) {
    struct TVanishing : TStatusTransport {
        TScsiReply Deliver(const TScsiRequest&) override {
            ++sent;
            if (sent == 1) return {true, 0};        // the immediate command is accepted
            if (sent == 4) return {true, 2};        // one refusal while busy
            return {};                              // then nothing arrives
        }
        std::string Describe() const override { return "vanishing"; }
        int sent = 0;
    } vanishing;
    options.sleep = [](std::chrono::milliseconds) {};
    EXPECT_EQ(PollUntilComplete(vanishing, SynchronizeCache(), {}, options), kScsiNoDevice);
    EXPECT_EQ(vanishing.sent, 1 + 2 + 1 + int(options.maxUndelivered));
}

TEST_F(PollTest, LostDriveIsNoDevice) {
    struct TGone : TStatusTransport {
        TScsiReply Deliver(const TScsiRequest&) override { return {}; }
        std::string Describe() const override { return "gone"; }
    } gone;
    EXPECT_EQ(PollUntilComplete(gone, SynchronizeCache(), {}, options), kScsiNoDevice);
}

}  // namespace
}  // namespace bootdisk
