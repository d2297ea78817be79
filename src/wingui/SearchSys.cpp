// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/SearchSys.h"

#include <shlobj.h>

#include "app/SearchSys.h"
#include "wingui/Controls.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

std::optional<std::string> TSearchSysForm::Run(HWND mainWindow) {
    mainWindow_ = mainWindow;
    if (RunDialog(mainWindow, Proc, reinterpret_cast<LPARAM>(this)) != IDOK) return std::nullopt;
    return Folder;
}

void TSearchSysForm::Build(HWND window) {
    SetWindowTextW(window, Ui(texts_[StrId::PRODUCTTXT]).c_str());
    SetClientSize(window, 305, 150);
    MakeControl(window, L"STATIC", Ui(texts_[StrId::SEARCHSYS_CANNOT_FIND]), SS_NOPREFIX, 0, 12, 10, 281, 18);
    // The doubled ampersand of the text shows as one.
    MakeControl(window, L"STATIC", Ui(texts_[StrId::SEARCHSYS_PLEASE_SPECIFY]), 0, 0, 12, 30, 281, 34);
    HWND folder = MakeControl(window, L"EDIT", Widen(Folder), WS_TABSTOP | ES_AUTOHSCROLL, kIdFolder, 12, 72, 248, 23,
                              WS_EX_CLIENTEDGE);
    MakeControl(window, L"BUTTON", L"...", WS_TABSTOP, kIdBrowse, 266, 72, 27, 23);
    MakeControl(window, L"BUTTON", Ui(texts_[StrId::GENERIC_OK]), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 116, 114, 85, 25);
    MakeControl(window, L"BUTTON", Ui(texts_[StrId::GENERIC_CANCEL]), WS_TABSTOP, IDCANCEL, 208, 114, 85, 25);
    CentreOver(window, mainWindow_);
    SetFocus(folder);
}

void TSearchSysForm::Browse(HWND window) {
    const auto title = Ui(texts_[StrId::SEARCHSYS_CANNOT_FIND]);
    BROWSEINFOW info{};
    info.hwndOwner = window;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (LPITEMIDLIST chosen = SHBrowseForFolderW(&info)) {
        wchar_t path[MAX_PATH];
        if (SHGetPathFromIDListW(chosen, path)) SetDlgItemTextW(window, kIdFolder, path);
        CoTaskMemFree(chosen);
    }
}

void TSearchSysForm::BtnOKClick(HWND window) {
    if (const auto folder = AcceptSystemFolder(host_, WindowTextUtf8(GetDlgItem(window, kIdFolder)))) {
        Folder = *folder;
        EndDialog(window, IDOK);
    } else {
        dialogs_.ShowCoolMessage(texts_[StrId::SEARCHSYS_THERE_IS_NO_SYSTEM]);
    }
}

void TSearchSysForm::BtnCancelClick(HWND window) {
    if (ConfirmSearchCancel(dialogs_, texts_)) EndDialog(window, IDCANCEL);
}

INT_PTR CALLBACK TSearchSysForm::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = DialogObject<TSearchSysForm>(window, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            form->Build(window);
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: form->BtnOKClick(window); return TRUE;
                case IDCANCEL: form->BtnCancelClick(window); return TRUE;
                case kIdBrowse: form->Browse(window); return TRUE;
                default: return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace bootdisk::win
