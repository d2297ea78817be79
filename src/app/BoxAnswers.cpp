// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BoxAnswers.h"

#include "platform/Dialogs.h"

namespace bootdisk {

int RetryAbortAnswer(TBoxClose how) { return how == TBoxClose::Left ? kAnswerRetry : kAnswerAbort; }

int TwoChoicesAnswer(TBoxClose how) { return how == TBoxClose::Left ? kAnswerLeft : kAnswerRight; }

}  // namespace bootdisk
