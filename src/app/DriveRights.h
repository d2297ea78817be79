// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether this process may write a drive now, in the command line's words: one rule for its
// refusals, made before it asks anything, and for the header of its list of devices.
#include <string>

#include "base/StrConst.h"
#include "platform/HostDrives.h"

namespace bootdisk {

// Why the drive named device may not be written by this process ("E: Writing a drive needs
// administrator rights: ..."); empty when it may. Emulated writers and iSCSI targets need no rights.
std::string DriveWriteRefusal(const TStringTable& texts, TDriveWrite kind, const std::string& device);

// The same for every removable drive, without a device; empty when this process may write them.
std::string DriveRightsNotice(const TStringTable& texts);

}  // namespace bootdisk
