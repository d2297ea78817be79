// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the message box's buttons, and closing it through its frame, answer to the caller. Every
// front end draws its own box and maps the way it closed through here.
#include <string>

#include "base/StrConst.h"

namespace bootdisk {

enum class TBoxClose { Left, Mid, Right, Frame };

// kAnswerAbort for the right button, kAnswerRetry otherwise (the frame included).
int RetryAbortAnswer(TBoxClose how);
// kAnswerRight for the right button; the frame or Escape answers like the left button, except on a
// box whose right choice is Cancel: a prompt closed in passing never starts a write.
int TwoChoicesAnswer(TBoxClose how, const TStringTable& texts, const std::string& rightCaption);

}  // namespace bootdisk
