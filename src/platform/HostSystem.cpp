// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostSystem.h"

namespace bootdisk {

TWindowsRelease ClassifyWindows(TWinVersion version) {
    if (version == TWinVersion{1, 4, 0}) return TWindowsRelease::Win95;
    if (version == TWinVersion{1, 4, 10}) return TWindowsRelease::Win98;
    if (version == TWinVersion{1, 4, 90}) return TWindowsRelease::WinMe;
    if (version == TWinVersion{2, 5, 1}) return TWindowsRelease::WinXP;
    if (version == TWinVersion{2, 5, 2}) return TWindowsRelease::Win2003;
    return TWindowsRelease::Other;
}

}  // namespace bootdisk
