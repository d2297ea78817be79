// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/TextViewer.h"

#include "wingui/ControlIds.h"
#include "wingui/Controls.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

namespace {

struct TViewer {
    HWND mainWindow;
    const std::string& title;
    const std::string& text;
    const std::string& ok;
};

void Build(HWND window, const TViewer& viewer) {
    SetWindowTextW(window, Ui(viewer.title).c_str());
    SetClientSize(window, 560, 420);
    // A multi-line edit box breaks lines at "\r\n" only.
    std::string lines;
    for (const char c : viewer.text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    HWND box = MakeControl(window, L"EDIT", Ui(lines),
                           WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                           kIdViewerText, 8, 8, 544, 370);
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
    MakeControl(window, L"BUTTON", Ui(viewer.ok), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 482, 387, 70, 25);
    CentreOver(window, viewer.mainWindow);
    SetFocus(GetDlgItem(window, IDOK));
}

INT_PTR CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* viewer = DialogObject<TViewer>(window, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            Build(window, *viewer);
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
            EndDialog(window, IDOK);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void ShowTextViewer(HWND owner, HWND mainWindow, const std::string& title, const std::string& text,
                    const std::string& ok) {
    TViewer viewer{mainWindow, title, text, ok};
    RunDialog(owner, ViewerProc, reinterpret_cast<LPARAM>(&viewer));
}

}  // namespace bootdisk::win
