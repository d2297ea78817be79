// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BoxAnswers.h"

#include <gtest/gtest.h>

#include "platform/Dialogs.h"

namespace bootdisk {
namespace {

// Every front end's box maps its buttons and its frame through here. Escape and the frame are
// habits, never consent: they take the safe answer, whatever the box asks.
TEST(BoxAnswers, ABoxClosedInPassingTakesTheSafeAnswer) {
    EXPECT_EQ(TwoChoicesAnswer(TBoxClose::Frame), kAnswerRight);  // Cancel, or No to "stop?"
    EXPECT_EQ(TwoChoicesAnswer(TBoxClose::Left), kAnswerLeft);
    EXPECT_EQ(TwoChoicesAnswer(TBoxClose::Right), kAnswerRight);
    EXPECT_EQ(RetryAbortAnswer(TBoxClose::Frame), kAnswerAbort);
    EXPECT_EQ(RetryAbortAnswer(TBoxClose::Left), kAnswerRetry);
    EXPECT_EQ(RetryAbortAnswer(TBoxClose::Right), kAnswerAbort);
}

}  // namespace
}  // namespace bootdisk
