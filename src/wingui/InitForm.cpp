// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/InitForm.h"

#include <windows.h>

#include "wingui/Controls.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

namespace {

constexpr wchar_t kClassName[] = L"BootdiskSplash";

LRESULT CALLBACK SplashProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    // A band of the theme's colours, the title on it.
    for (int y = 0; y < client.bottom; ++y) {
        const int shade = 0x60 + 0x60 * y / (client.bottom ? client.bottom : 1);
        RECT line{0, y, client.right, y + 1};
        HBRUSH brush = CreateSolidBrush(RGB(0x20, shade / 2 + 0x30, shade + 0x40));
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
    wchar_t title[256];
    const int length = GetWindowTextW(window, title, 256);
    HFONT font = BoldFont(8);
    auto* old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    RECT text{Scaled(20), Scaled(36), Scaled(330), Scaled(120)};
    DrawTextW(dc, title, length, &text, DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
    EndPaint(window, &paint);
    return 0;
}

}  // namespace

bool RunInitialization(const std::string& title, const std::vector<std::function<bool()>>& steps) {
    RegisterWindowClass(kClassName, SplashProc, MAKEINTRESOURCEW(32514));  // IDC_WAIT
    HWND splash = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, Ui(title).c_str(), WS_POPUP | WS_BORDER,
                                  0, 0, Scaled(351), Scaled(163), nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (splash) {
        CentreOver(splash, nullptr);
        ShowWindow(splash, SW_SHOW);
    }
    // Let the desktop draw the splash before the work starts.
    for (int i = 0; i < 10; ++i) {
        if (splash) UpdateWindow(splash);
        PumpMessages();
        Sleep(50);
    }
    PumpMessages();
    PumpMessages();
    bool succeeded = true;
    for (const auto& step : steps) {
        if (!step()) {
            succeeded = false;
            break;
        }
        PumpMessages();
    }
    if (splash) DestroyWindow(splash);
    return succeeded;
}

}  // namespace bootdisk::win
