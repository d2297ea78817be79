// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: the product, its version and build, the legal notices, support and the licence.
#include <windows.h>

#include <functional>

#include "app/WizardView.h"

namespace bootdisk::win {

void ShowAbout(HWND mainWindow, const TAboutTexts& texts, std::function<void()> support,
               std::function<void()> license);

}  // namespace bootdisk::win
