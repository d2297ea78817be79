// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Asks for the folder holding the MS-DOS system files: typed, or picked with the shell's folder
// browser; taken only when it holds both files.
#include <windows.h>

#include <optional>
#include <string>

#include "base/StrConst.h"
#include "platform/Dialogs.h"
#include "platform/HostSystem.h"

namespace bootdisk::win {

inline constexpr int kIdFolder = 201;
inline constexpr int kIdBrowse = 202;

class TSearchSysForm {
public:
    TSearchSysForm(IDialogs& dialogs, const TStringTable& texts, const IHostSystem& host)
        : dialogs_(dialogs), texts_(texts), host_(host) {}

    // The confirmed folder, ending in a backslash; nothing when the user cancelled.
    std::optional<std::string> Run(HWND mainWindow);

    // Keeps the last confirmed value, offered again next time.
    std::string Folder;

private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Build(HWND window);
    void Browse(HWND window);
    void BtnOKClick(HWND window);
    void BtnCancelClick(HWND window);

    IDialogs& dialogs_;
    const TStringTable& texts_;
    const IHostSystem& host_;
    HWND mainWindow_ = nullptr;
};

}  // namespace bootdisk::win
