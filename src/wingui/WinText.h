// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's texts and paths are UTF-8; the windows take wide strings.
#include <windows.h>

#include <string>

#include "base/Text.h"
#include "platform/win32/Utf8.h"

namespace bootdisk {

inline std::wstring Ui(const std::string& text) { return Widen(WithLineFeeds(text)); }
inline std::wstring WindowTextWide(HWND window) {
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}
// A control's text as the program keeps it, UTF-8.
inline std::string WindowTextUtf8(HWND window) { return Narrow(WindowTextWide(window)); }
// A control's text as typed, before any conversion.
inline std::u16string WindowTextUtf16(HWND window) {
    const auto wide = WindowTextWide(window);
    return {wide.begin(), wide.end()};
}

}  // namespace bootdisk
