// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialog port of the desktop wizard: message boxes and the folder dialog centred over the
// main window, the save dialog, and Qt's event loop as the message pump.
#include <QPointer>

#include "base/StrConst.h"
#include "platform/Dialogs.h"
#include "platform/HostSystem.h"

class QWidget;

namespace bootdisk {

class TSearchSysForm;

class TGuiDialogs : public IDialogs {
public:
    TGuiDialogs(const TStringTable& texts, const IHostSystem& host);

    // The window every box centres over; the folder dialog is created for it and kept.
    void SetMainWindow(QWidget* mainWindow);

    void ShowCoolMessage(const std::string& text) override;
    int AskRetryAbort(const std::string& text) override;
    int AskTwoChoices(const std::string& text, const std::string& leftCaption, const std::string& rightCaption,
                      TDefaultChoice defaultChoice) override;
    std::optional<std::string> AskSystemFolder() override;
    std::optional<std::string> AskSaveFile(const TSaveFileRequest& request) override;
    void ProcessMessages() override;

private:
    const TStringTable& texts_;
    const IHostSystem& host_;
    QPointer<QWidget> mainWindow_;
    // Owned by the main window, as its child.
    QPointer<TSearchSysForm> searchSys_;
};

}  // namespace bootdisk
