// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/Controls.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "base/Colours.h"

namespace bootdisk::win {

namespace {

HWND dialogKeysWindow = nullptr;

int ScreenDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

LOGFONTW MessageLogFont() {
    // The structure grew after Windows XP; asking for the part XP knows works everywhere.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = UINT(offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW));
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return metrics.lfMessageFont;
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

// style, extended style, no controls, position and size, then no menu, the default class and
// no title: twelve words, on a double-word boundary.
struct TEmptyTemplate {
    alignas(4) WORD words[12] = {};
    explicit TEmptyTemplate(DWORD style) {
        words[0] = LOWORD(style);
        words[1] = HIWORD(style);
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words); }
};

}  // namespace

int Scaled(int pixels) { return MulDiv(pixels, ScreenDpi(), 96); }

HFONT MessageFont() {
    static const HFONT font = [] {
        auto logFont = MessageLogFont();
        return CreateFontIndirectW(&logFont);
    }();
    return font;
}

HFONT BoldFont(int pointsMore) {
    auto logFont = MessageLogFont();
    logFont.lfWeight = FW_BOLD;
    if (pointsMore != 0) logFont.lfHeight = -MulDiv(MulDiv(-logFont.lfHeight, 72, ScreenDpi()) + pointsMore, ScreenDpi(), 72);
    return CreateFontIndirectW(&logFont);
}

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, LPCWSTR cursor) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = procedure;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, cursor);
    cls.lpszClassName = name;
    RegisterClassW(&cls);
}

void SetApplicationIcon(HWND window) {
    const auto icon = [](int size) {
        return reinterpret_cast<LPARAM>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                   GetSystemMetrics(size), GetSystemMetrics(size), LR_DEFAULTCOLOR));
    };
    SendMessageW(window, WM_SETICON, ICON_BIG, icon(SM_CXICON));
    SendMessageW(window, WM_SETICON, ICON_SMALL, icon(SM_CXSMICON));
}

HWND MakeControl(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x, int y,
                 int width, int height, DWORD exStyle) {
    // Every tab stop starts a group of its own, so the arrow keys never leave a radio group.
    if (style & WS_TABSTOP) style |= WS_GROUP;
    HWND control = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, Scaled(x), Scaled(y),
                                   Scaled(width), Scaled(height), parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont()), FALSE);
    return control;
}

HWND HiddenLabel(HWND parent, const std::wstring& caption) {
    HWND label = MakeControl(parent, L"STATIC", caption, SS_NOPREFIX, 0, 0, 0, 1, 1);
    ShowWindow(label, SW_HIDE);
    return label;
}

namespace {

constexpr wchar_t kSubclassProperty[] = L"BootdiskSubclass";

struct TSubclass {
    WNDPROC original;
    TSubclassProc procedure;
    void* data;
};

LRESULT CALLBACK SubclassedProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* subclass = static_cast<TSubclass*>(GetPropW(control, kSubclassProperty));
    if (message != WM_NCDESTROY) return subclass->procedure(control, message, wParam, lParam, subclass->data);
    const auto original = subclass->original;
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropW(control, kSubclassProperty);
    delete subclass;
    return CallWindowProcW(original, control, message, wParam, lParam);
}

}  // namespace

void Subclass(HWND control, TSubclassProc procedure, void* data) {
    auto* subclass = new TSubclass{reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC)), procedure, data};
    SetPropW(control, kSubclassProperty, subclass);
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassedProc));
}

LRESULT CallSubclassed(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* subclass = static_cast<const TSubclass*>(GetPropW(control, kSubclassProperty));
    return CallWindowProcW(subclass->original, control, message, wParam, lParam);
}

int TextWidth(HWND control, const std::wstring& text) {
    SIZE extent{};
    HDC dc = GetDC(control);
    auto* font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    auto* old = SelectObject(dc, font ? font : MessageFont());
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return MulDiv(extent.cx, 96, Scaled(96)) + 1;
}

int TextHeight(HWND control, const std::wstring& text, int width, UINT format) {
    HDC dc = GetDC(control);
    auto* font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    auto* old = SelectObject(dc, font ? font : MessageFont());
    RECT box{0, 0, Scaled(width), 0};
    DrawTextW(dc, text.c_str(), int(text.size()), &box, DT_CALCRECT | DT_WORDBREAK | format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return MulDiv(box.bottom, 96, Scaled(96));
}

COLORREF LinkColour() {
    const auto system = [](int index) {
        const COLORREF colour = GetSysColor(index);
        return TRgb{GetRValue(colour) / 255.0, GetGValue(colour) / 255.0, GetBValue(colour) / 255.0};
    };
    const auto face = system(COLOR_BTNFACE);
    const auto link = Readable(system(COLOR_HOTLIGHT), system(COLOR_BTNTEXT), face, face);
    const auto byte = [](double channel) { return BYTE(std::lround(channel * 255)); };
    return RGB(byte(link.red), byte(link.green), byte(link.blue));
}

void SetClientSize(HWND window, int width, int height) {
    RECT frame{0, 0, Scaled(width), Scaled(height)};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOver(HWND window, HWND owner) {
    RECT outer{}, box{};
    if (owner) GetWindowRect(owner, &outer);
    else SystemParametersInfoW(SPI_GETWORKAREA, 0, &outer, 0);
    GetWindowRect(window, &box);
    const long width = box.right - box.left, height = box.bottom - box.top;
    SetWindowPos(window, nullptr, outer.left + (outer.right - outer.left - width) / 2,
                 outer.top + (outer.bottom - outer.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR RunDialog(HWND owner, DLGPROC procedure, LPARAM parameter, DWORD style) {
    const TEmptyTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | style);
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner, procedure, parameter);
}

HWND CreateDialogWindow(HWND owner, DLGPROC procedure, LPARAM parameter, DWORD style) {
    const TEmptyTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | style);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner, procedure, parameter);
}

namespace {

std::vector<HWND>& OpenDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

}  // namespace

void TrackDialog(HWND window, UINT message) {
    auto& dialogs = OpenDialogs();
    if (message == WM_INITDIALOG) dialogs.push_back(window);
    if (message == WM_DESTROY) std::erase(dialogs, window);
}

HWND OwnerDialog() { return OpenDialogs().empty() ? nullptr : OpenDialogs().back(); }

void SetDialogKeysWindow(HWND window) { dialogKeysWindow = window; }

bool IsDialogKey(MSG& message) {
    return dialogKeysWindow != nullptr && IsWindow(dialogKeysWindow) && IsDialogMessageW(dialogKeysWindow, &message);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(int(message.wParam));
            return;
        }
        if (IsDialogKey(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace bootdisk::win
