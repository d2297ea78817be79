// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Asks for the folder holding the MS-DOS system files: picked in a tree of the computer's folders
// or typed below it; taken only when it holds both files.
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "base/StrConst.h"
#include "platform/Dialogs.h"
#include "platform/HostSystem.h"

namespace bootdisk::win {

inline constexpr int kIdFolder = 201;
inline constexpr int kIdFolderTree = 202;

class TSearchSysForm {
public:
    TSearchSysForm(IDialogs& dialogs, const TStringTable& texts, const IHostSystem& host)
        : dialogs_(dialogs), texts_(texts), host_(host) {}

    // The confirmed folder, ending in a backslash; nothing when the user cancelled.
    std::optional<std::string> Run(HWND owner);

    // Keeps the last confirmed value, offered again next time.
    std::string Folder;

private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Build(HWND window);
    // Adds the folders under the item's folder, once, when it is first opened.
    void AddSubfolders(HWND tree, HTREEITEM parent);
    HTREEITEM AddFolder(HWND tree, HTREEITEM parent, const std::wstring& name, const std::wstring& path);
    void OnNotify(HWND window, const NMHDR& header);
    void BtnOKClick(HWND window);
    void BtnCancelClick(HWND window);

    IDialogs& dialogs_;
    const TStringTable& texts_;
    const IHostSystem& host_;
    HWND owner_ = nullptr;
    std::vector<std::wstring> paths_;  // of the tree's items, by the items' lParam
};

}  // namespace bootdisk::win
