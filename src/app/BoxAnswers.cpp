// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BoxAnswers.h"

#include "platform/Dialogs.h"

namespace bootdisk {

int RetryAbortAnswer(TBoxClose how) { return how == TBoxClose::Right ? kAnswerAbort : kAnswerRetry; }

int TwoChoicesAnswer(TBoxClose how, const TStringTable& texts, const std::string& rightCaption) {
    if (how == TBoxClose::Frame && rightCaption == texts[StrId::GENERIC_CANCEL]) return kAnswerRight;
    return how == TBoxClose::Right ? kAnswerRight : kAnswerLeft;
}

}  // namespace bootdisk
