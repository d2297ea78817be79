// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// While one lives, a drive without a medium answers an open or a query with an error code instead
// of the system's "no disk in drive" box, which would hold up the run with a question of its own.
#include <windows.h>

namespace bootdisk {

class TNoCriticalErrorBoxes {
public:
    // The mode can only be read by setting it; the other flags the process had are kept.
    TNoCriticalErrorBoxes() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {
        SetErrorMode(previous_ | SEM_FAILCRITICALERRORS);
    }
    ~TNoCriticalErrorBoxes() { SetErrorMode(previous_); }
    TNoCriticalErrorBoxes(const TNoCriticalErrorBoxes&) = delete;
    TNoCriticalErrorBoxes& operator=(const TNoCriticalErrorBoxes&) = delete;

private:
    UINT previous_;
};

}  // namespace bootdisk
