// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/About.h"

#include "platform/Host.h"
#include "wingui/Controls.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

namespace {

constexpr int kIdSupport = 301;
constexpr int kIdLicense = 302;

struct TAbout {
    HWND mainWindow;
    const TStringTable& texts;
    const THelp& help;
    HFONT title = nullptr;
};

// Fills the one "%s" of a text.
std::string Filled(std::string text, const std::string& value) {
    if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, value);
    return text;
}

void Build(HWND window, TAbout& about) {
    const auto& texts = about.texts;
    SetWindowTextW(window, Ui(texts[StrId::ABOUT_HEADER]).c_str());
    SetClientSize(window, 380, 250);
    const auto label = [window](const std::string& text, int top, int height) {
        return MakeControl(window, L"STATIC", Ui(text), SS_NOPREFIX, 0, 24, top, 340, height);
    };
    HWND product = label(texts[StrId::PRODUCTTXT], 16, 22);
    about.title = BoldFont(2);
    SendMessageW(product, WM_SETFONT, reinterpret_cast<WPARAM>(about.title), FALSE);
    const auto version = ProgramVersion();
    label(Filled(texts[StrId::VERSIONTXT], version.version), 42, 18);
    label(Filled(texts[StrId::ABOUT_BUILD], version.build), 60, 18);
    label(texts[StrId::ABOUT_COPYRIGHT], 86, 34);
    label(texts[StrId::ABOUT_LEGAL_NOTICE], 122, 76);
    MakeControl(window, L"BUTTON", Ui(texts[StrId::GENERIC_OK]), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 16, 210, 70, 25);
    MakeControl(window, L"BUTTON", Ui(texts[StrId::ABOUT_SUPPORT]), WS_TABSTOP, kIdSupport, 94, 210, 90, 25);
    MakeControl(window, L"BUTTON", Ui(texts[StrId::ABOUT_VIEW_LICENSE]), WS_TABSTOP, kIdLicense, 192, 210, 172, 25);
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
                case kIdSupport: about->help.OpenKeyword("ContactingHalvexLabs"); return TRUE;
                case kIdLicense: about->help.OpenFile("license.txt"); return TRUE;
                default: return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

void ShowAbout(HWND mainWindow, const TStringTable& texts, const THelp& help) {
    TAbout about{mainWindow, texts, help};
    RunDialog(mainWindow, AboutProc, reinterpret_cast<LPARAM>(&about));
    if (about.title) DeleteObject(about.title);
}

}  // namespace bootdisk::win
