// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialog port of the Windows wizard: message boxes and the folder dialog over the main
// window, the common save dialog, and the window messages pumped during long work.
#include <windows.h>

#include "base/StrConst.h"
#include "platform/Dialogs.h"
#include "platform/HostSystem.h"
#include "wingui/SearchSys.h"

namespace bootdisk::win {

class TWinDialogs : public IDialogs {
public:
    TWinDialogs(const TStringTable& texts, const IHostSystem& host)
        : texts_(texts), searchSys_(*this, texts, host) {}

    // The window every box centres over.
    void SetMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }

    void ShowCoolMessage(const std::string& text) override;
    int AskRetryAbort(const std::string& text) override;
    int AskTwoChoices(const std::string& text, const std::string& leftCaption, const std::string& rightCaption,
                      TDefaultChoice defaultChoice) override;
    std::optional<std::string> AskSystemFolder() override;
    std::optional<std::string> AskSaveFile(const TSaveFileRequest& request) override;
    void ProcessMessages() override;

private:
    HWND Owner() const;

    const TStringTable& texts_;
    TSearchSysForm searchSys_;
    HWND mainWindow_ = nullptr;
};

}  // namespace bootdisk::win
