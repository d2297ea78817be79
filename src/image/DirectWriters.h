// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// AUTOEXEC.BAT and KORVANE.INI written straight onto a drive (the floppy in drive A:).
#include <string>
#include <string_view>

#include "image/BootConfig.h"
#include "image/userData.h"
#include "platform/DriveFiles.h"

namespace bootdisk {

// drive reaches the drive's root. Both return false when the file cannot be written whole.
bool WriteAutoexecBat(IDriveFiles& drive, std::string_view runningText, std::string_view parameters,
                      bool loadMouse);
bool WriteSanitizerIni(IDriveFiles& drive, const TExeDataBase& floppyPayload, const TOptionStates& states);

// Where the INI goes: the first payload file whose path holds KORVANE.INI, else Korvane\Data\korvane.ini.
std::string SanitizerIniPath(const TExeDataBase& floppyPayload);

}  // namespace bootdisk
