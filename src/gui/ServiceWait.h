// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The disk service may wait minutes for the user's authorisation before it opens or unmounts a
// drive: meanwhile the window keeps drawing, and a label says what it waits for, then shows again
// what it said before.
#include <QLabel>
#include <QObject>

#include <chrono>
#include <string>

#include "base/StrConst.h"
#include "platform/Dialogs.h"

namespace bootdisk {

class TServiceWaitNotice : public QObject {
public:
    // Waits of the calling thread, which draws label.
    TServiceWaitNotice(QLabel& label, const TStringTable& texts, IDialogs& dialogs);
    ~TServiceWaitNotice() override;

private:
    void Waiting(const std::string& device, std::chrono::milliseconds waited);
    void Answered();

    QLabel& label_;
    const TStringTable& texts_;
    IDialogs& dialogs_;
    QString before_;
    bool shown_ = false;
};

}  // namespace bootdisk
