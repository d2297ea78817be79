// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/WinDialogs.h"

#include <commdlg.h>

#include "optical/ImageRecorder.h"
#include "wingui/Controls.h"
#include "wingui/CoolMsg.h"
#include "wingui/WinText.h"

namespace bootdisk::win {

void TWinDialogs::ShowCoolMessage(const std::string& text) {
    ShowCoolBox(Owner(), texts_, text, TCoolLayout::Information);
}

int TWinDialogs::AskRetryAbort(const std::string& text) {
    return RetryAbortAnswer(ShowCoolBox(Owner(), texts_, text, TCoolLayout::RetryAbort));
}

int TWinDialogs::AskTwoChoices(const std::string& text, const std::string& leftCaption,
                               const std::string& rightCaption, TDefaultChoice defaultChoice) {
    return TwoChoicesAnswer(
        ShowCoolBox(Owner(), texts_, text, TCoolLayout::TwoChoices, leftCaption, rightCaption, defaultChoice));
}

std::optional<std::string> TWinDialogs::AskSystemFolder() { return searchSys_.Run(Owner()); }

// A box belongs to the dialog that asks, so the main window stays disabled while it is open.
HWND TWinDialogs::Owner() const { return OwnerDialog() ? OwnerDialog() : mainWindow_; }

std::optional<std::string> TWinDialogs::AskSaveFile(const TSaveFileRequest& request) {
    const auto filter = Widen(request.filter);
    const std::wstring filters = filter + L'\0' + filter + L'\0' + L'\0';
    const auto title = Ui(texts_[StrId::GUI_TEXTFILELOCATION]);
    const auto extension = Widen(request.defaultExtension);
    wchar_t path[MAX_PATH] = {};
    const auto proposed = Widen(request.proposedName);
    proposed.copy(path, MAX_PATH - 1);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner();
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return WithDefaultExtension(Narrow(path), request.defaultExtension);
}

void TWinDialogs::ProcessMessages() { PumpMessages(); }

}  // namespace bootdisk::win
