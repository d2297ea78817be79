// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DriveRights.h"

#include "optical/Optical_devices.h"

namespace bootdisk {

std::string DriveWriteRefusal(const TStringTable& texts, TDriveWrite kind, const std::string& device) {
    if (kind == TDriveWrite::Disc && !IsPassThroughName(device)) return {};
    if (!DriveWritesNeedAdministrator(kind)) return {};
    return DeviceLead(device) + texts[DriveRightsText(TFrontEnd::CommandLine)];
}

std::string DriveRightsNotice(const TStringTable& texts) {
    return DriveWritesNeedAdministrator(TDriveWrite::Removable) ? texts[DriveRightsText(TFrontEnd::CommandLine)]
                                                                  : std::string();
}

}  // namespace bootdisk
