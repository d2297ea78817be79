// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: the product, its version and build, the legal notices, support, the product's
// licence agreement and the program's own licence.
#include <windows.h>

#include "app/WizardView.h"

namespace bootdisk::win {

void ShowAbout(HWND mainWindow, const TAboutTexts& texts, const TAboutActions& actions);

}  // namespace bootdisk::win
