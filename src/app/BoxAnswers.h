// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the message box's buttons, and closing it through its frame, answer to the caller. Every
// front end draws its own box and maps the way it closed through here.
namespace bootdisk {

enum class TBoxClose { Left, Mid, Right, Frame };

// A box closed in passing (Escape, its frame) takes the safe answer: Abort, and the right choice
// (Cancel, No), never Retry, OK or Yes.
int RetryAbortAnswer(TBoxClose how);
int TwoChoicesAnswer(TBoxClose how);

}  // namespace bootdisk
