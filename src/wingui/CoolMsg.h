// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one message box of the program: information with OK, Retry / Abort, or two choices
// captioned by the caller; centred over the main window.
#include <windows.h>

#include <string>

#include "app/BoxAnswers.h"
#include "base/StrConst.h"
#include "platform/Dialogs.h"

namespace bootdisk::win {

enum class TCoolLayout { Information, RetryAbort, TwoChoices };

// Control IDs of the box's buttons and message.
inline constexpr int kIdBtnLeft = 101;
inline constexpr int kIdBtnMid = 102;
inline constexpr int kIdBtnRight = 103;
inline constexpr int kIdLabelMsg = 104;

// Shows the box modally, owned by owner and centred over the main window that owns it, and says
// how it was closed. Return takes the default choice of two; Retry of Retry / Abort.
TBoxClose ShowCoolBox(HWND owner, const TStringTable& texts, const std::string& text, TCoolLayout layout,
                      const std::string& leftCaption = {}, const std::string& rightCaption = {},
                      TDefaultChoice defaultChoice = TDefaultChoice::Left);

// A lone carriage return breaks a line in the texts; a static control wants CR LF.
std::wstring LabelText(const std::string& text);

}  // namespace bootdisk::win
