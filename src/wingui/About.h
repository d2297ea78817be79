// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: the product, its version and build from the executable's version resource, the
// legal notices, support and the licence.
#include <windows.h>

#include "base/StrConst.h"
#include "wingui/Help.h"

namespace bootdisk::win {

void ShowAbout(HWND mainWindow, const TStringTable& texts, const THelp& help);

}  // namespace bootdisk::win
