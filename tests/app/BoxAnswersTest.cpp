// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BoxAnswers.h"

#include <gtest/gtest.h>

#include "platform/Dialogs.h"

namespace bootdisk {
namespace {

// Every front end's box maps its buttons and its frame through here.
TEST(BoxAnswers, AFrameClosedPromptNeverStartsAWrite) {
    const TStringTable texts;
    const auto& cancel = texts[StrId::GENERIC_CANCEL];
    EXPECT_EQ(TwoChoicesAnswer(TBoxClose::Frame, texts, cancel), kAnswerRight);
    EXPECT_EQ(TwoChoicesAnswer(TBoxClose::Left, texts, cancel), kAnswerLeft);
    // Elsewhere the frame answers like the left button: Yes to "stop?".
    EXPECT_EQ(TwoChoicesAnswer(TBoxClose::Frame, texts, texts[StrId::GENERIC_NO]), kAnswerLeft);
    EXPECT_EQ(TwoChoicesAnswer(TBoxClose::Right, texts, texts[StrId::GENERIC_NO]), kAnswerRight);
    EXPECT_EQ(RetryAbortAnswer(TBoxClose::Frame), kAnswerRetry);
    EXPECT_EQ(RetryAbortAnswer(TBoxClose::Right), kAnswerAbort);
}

}  // namespace
}  // namespace bootdisk
