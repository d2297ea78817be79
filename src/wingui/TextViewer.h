// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A read-only text in a window of its own, closed with OK or Escape.
#include <windows.h>

#include <string>

namespace bootdisk::win {

// title and text as the program keeps them (Windows-1252, "\n" ending each line).
void ShowTextViewer(HWND owner, HWND mainWindow, const std::string& title, const std::string& text,
                    const std::string& ok);

}  // namespace bootdisk::win
