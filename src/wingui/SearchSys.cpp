// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/SearchSys.h"

#include <commctrl.h>

#include <algorithm>

#include "app/SearchSys.h"
#include "wingui/Controls.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

namespace {

constexpr int kMaxFoldersShown = 2000;  // under one folder: enough for any system folder

bool IsFolder(const WIN32_FIND_DATAW& found) {
    const std::wstring name = found.cFileName;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..";
}

}  // namespace

std::optional<std::string> TSearchSysForm::Run(HWND owner) {
    owner_ = owner;
    paths_.clear();
    if (RunDialog(owner, Proc, reinterpret_cast<LPARAM>(this)) != IDOK) return std::nullopt;
    return Folder;
}

HTREEITEM TSearchSysForm::AddFolder(HWND tree, HTREEITEM parent, const std::wstring& name, const std::wstring& path) {
    paths_.push_back(path);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(name.c_str());
    insert.item.lParam = LPARAM(paths_.size() - 1);
    insert.item.cChildren = 1;  // known once opened
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TSearchSysForm::AddSubfolders(HWND tree, HTREEITEM parent) {
    TVITEMW item{};
    item.mask = TVIF_PARAM | TVIF_CHILDREN | TVIF_HANDLE;
    item.hItem = parent;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent))) return;
    const auto folder = paths_.at(std::size_t(item.lParam));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    int added = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (IsFolder(found) && added++ < kMaxFoldersShown)
                AddFolder(tree, parent, found.cFileName, folder + found.cFileName + L"\\");
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    if (added == 0) {
        item.mask = TVIF_CHILDREN | TVIF_HANDLE;
        item.cChildren = 0;
        SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void TSearchSysForm::Build(HWND window) {
    SetWindowTextW(window, Ui(texts_[StrId::PRODUCTTXT]).c_str());
    SetClientSize(window, 305, 329);
    // The two lines take the height their texts need (a translation may need two lines where
    // English needs one); the tree takes what is left.
    const auto label = [window](const std::wstring& text, DWORD style, int top, int height) {
        HWND shown = MakeControl(window, L"STATIC", text, style, 0, 12, top, 281, height);
        height = std::max(height, TextHeight(shown, text, 281, (style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
        SetWindowPos(shown, nullptr, 0, 0, Scaled(281), Scaled(height), SWP_NOMOVE | SWP_NOZORDER);
        return top + height;
    };
    int top = label(Ui(texts_[StrId::SEARCHSYS_CANNOT_FIND]), SS_NOPREFIX, 10, 18) + 2;
    // The doubled ampersand of the text shows as one.
    top = label(Ui(texts_[StrId::SEARCHSYS_PLEASE_SPECIFY]), 0, top, 34) + 4;
    HWND tree = MakeControl(window, WC_TREEVIEWW, L"",
                            WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                            kIdFolderTree, 12, top, 281, 248 - top, WS_EX_CLIENTEDGE);
    const DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (!(drives & (1u << letter))) continue;
        const std::wstring root{wchar_t(L'A' + letter), L':', L'\\'};
        // Floppy drives are not asked, so an empty drive A: does not make the user wait.
        if (GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE && letter < 2) continue;
        AddFolder(tree, TVI_ROOT, root, root);
    }
    MakeControl(window, L"EDIT", Widen(Folder), WS_TABSTOP | ES_AUTOHSCROLL, kIdFolder, 12, 254, 281, 23,
                WS_EX_CLIENTEDGE);
    MakeControl(window, L"BUTTON", Ui(texts_[StrId::GENERIC_OK]), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 116, 292, 85, 25);
    MakeControl(window, L"BUTTON", Ui(texts_[StrId::GENERIC_CANCEL]), WS_TABSTOP, IDCANCEL, 208, 292, 85, 25);
    CentreOver(window, owner_ ? GetAncestor(owner_, GA_ROOTOWNER) : nullptr);
    SetFocus(tree);
}

void TSearchSysForm::OnNotify(HWND window, const NMHDR& header) {
    if (header.idFrom != kIdFolderTree) return;
    switch (header.code) {
        case TVN_ITEMEXPANDINGW: {
            const auto& expanding = reinterpret_cast<const NMTREEVIEWW&>(header);
            if (expanding.action == TVE_EXPAND) AddSubfolders(header.hwndFrom, expanding.itemNew.hItem);
            break;
        }
        case TVN_SELCHANGEDW: {
            // The tree picks its first item itself when it takes the focus: only the user's pick
            // replaces the folder offered.
            const auto& changed = reinterpret_cast<const NMTREEVIEWW&>(header);
            if (changed.action != TVC_UNKNOWN)
                SetDlgItemTextW(window, kIdFolder, paths_.at(std::size_t(changed.itemNew.lParam)).c_str());
            break;
        }
        case NM_RCLICK: {
            // A right click selects, as a left one does.
            TVHITTESTINFO hit{};
            GetCursorPos(&hit.pt);
            ScreenToClient(header.hwndFrom, &hit.pt);
            if (auto* item = reinterpret_cast<HTREEITEM>(SendMessageW(header.hwndFrom, TVM_HITTEST, 0,
                                                                      reinterpret_cast<LPARAM>(&hit))))
                SendMessageW(header.hwndFrom, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            break;
        }
        default:
            break;
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
        case WM_NOTIFY:
            form->OnNotify(window, *reinterpret_cast<const NMHDR*>(lParam));
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: form->BtnOKClick(window); return TRUE;
                case IDCANCEL: form->BtnCancelClick(window); return TRUE;
                default: return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace bootdisk::win
