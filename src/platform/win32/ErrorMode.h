// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// While one lives, a drive without a medium answers an open or a query with an error code instead
// of the system's "no disk in drive" box, which would hold up the run with a question of its own.
#include <windows.h>

#include "platform/win32/Win32Calls.h"

namespace bootdisk {

class TNoCriticalErrorBoxes {
public:
    // The mode can only be read by setting it; the other flags the process had are kept.
    explicit TNoCriticalErrorBoxes(IWin32Calls& calls = HostWin32Calls())
        : calls_(calls), previous_(calls.SetErrorMode(SEM_FAILCRITICALERRORS)) {
        calls_.SetErrorMode(previous_ | SEM_FAILCRITICALERRORS);
    }
    ~TNoCriticalErrorBoxes() { calls_.SetErrorMode(previous_); }
    TNoCriticalErrorBoxes(const TNoCriticalErrorBoxes&) = delete;
    TNoCriticalErrorBoxes& operator=(const TNoCriticalErrorBoxes&) = delete;

private:
    IWin32Calls& calls_;
    UINT previous_;
};

}  // namespace bootdisk
