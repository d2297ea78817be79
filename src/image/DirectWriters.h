#pragma once
// AUTOEXEC.BAT and KORVANE.INI written straight onto a mounted drive (the floppy in drive A:).
#include <string>
#include <string_view>

#include "image/BootConfig.h"
#include "image/userData.h"
#include "platform/HostSystem.h"

namespace bootdisk {

// driveRoot is the drive's root folder as the host names it, ending in its path separator.
// Both return false when the file cannot be written whole.
bool WriteAutoexecBat(const IHostSystem& host, const std::string& driveRoot, std::string_view runningText,
                      std::string_view parameters, bool loadMouse);
bool WriteSanitizerIni(const IHostSystem& host, const std::string& driveRoot, const TExeDataBase& floppyPayload,
                       const TOptionStates& states);

// Where the INI goes: the first payload file whose path holds KORVANE.INI, else Korvane\Data\korvane.ini.
std::string SanitizerIniPath(const TExeDataBase& floppyPayload);

}  // namespace bootdisk
