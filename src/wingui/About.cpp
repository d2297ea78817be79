// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/About.h"

#include <commctrl.h>

#include "wingui/Controls.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

namespace {

constexpr int kIdSupport = 301;
constexpr int kIdLicense = 302;
constexpr int kIdFreeSoftware = 303;

struct TAbout {
    HWND mainWindow;
    const TAboutTexts& texts;
    const TAboutActions& actions;
    HFONT title = nullptr;
};

void Build(HWND window, TAbout& about) {
    const auto& texts = about.texts;
    SetWindowTextW(window, Ui(texts.caption).c_str());
    SetClientSize(window, 380, 290);
    const auto label = [window](const std::string& text, int top, int height) {
        return MakeControl(window, L"STATIC", Ui(text), SS_NOPREFIX, 0, 24, top, 340, height);
    };
    HWND product = label(texts.product, 16, 22);
    about.title = BoldFont(2);
    SendMessageW(product, WM_SETFONT, reinterpret_cast<WPARAM>(about.title), FALSE);
    label(texts.version, 42, 18);
    label(texts.build, 60, 18);
    label(texts.copyright, 86, 34);
    label(texts.legal, 122, 76);
    MakeControl(window, WC_LINK, L"<a>" + Ui(texts.freeSoftware) + L"</a>", WS_TABSTOP, kIdFreeSoftware, 24, 204, 340,
                36);
    MakeControl(window, L"BUTTON", Ui(texts.ok), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 16, 250, 70, 25);
    MakeControl(window, L"BUTTON", Ui(texts.support), WS_TABSTOP, kIdSupport, 94, 250, 90, 25);
    MakeControl(window, L"BUTTON", Ui(texts.license), WS_TABSTOP, kIdLicense, 192, 250, 172, 25);
    CentreOver(window, about.mainWindow);
    SetFocus(GetDlgItem(window, IDOK));
}

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* about = DialogObject<TAbout>(window, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            Build(window, *about);
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL: EndDialog(window, IDOK); return TRUE;
                case kIdSupport: about->actions.support(); return TRUE;
                case kIdLicense: about->actions.license(); return TRUE;
                default: return FALSE;
            }
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.idFrom != kIdFreeSoftware || (header.code != NM_CLICK && header.code != NM_RETURN)) return FALSE;
            about->actions.freeSoftware();
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

void ShowAbout(HWND mainWindow, const TAboutTexts& texts, const TAboutActions& actions) {
    TAbout about{mainWindow, texts, actions};
    RunDialog(mainWindow, AboutProc, reinterpret_cast<LPARAM>(&about));
    if (about.title) DeleteObject(about.title);
}

}  // namespace bootdisk::win
