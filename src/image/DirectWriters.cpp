// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/DirectWriters.h"

#include <span>

#include "base/Text.h"

namespace bootdisk {
namespace {

bool WriteText(IDriveFiles& drive, const std::string& path, const std::string& text) {
    TSpanStream source(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    return drive.CreateFile(path, source);
}

}  // namespace

bool WriteAutoexecBat(IDriveFiles& drive, std::string_view runningText, std::string_view parameters,
                      bool loadMouse) {
    return WriteText(drive, "Autoexec.bat", DirectFileText(AutoexecLines(runningText, loadMouse, parameters)));
}

std::string SanitizerIniPath(const TExeDataBase& floppyPayload) {
    for (const auto& item : floppyPayload.Items())
        if (UpperAnsi(item.Name).find("KORVANE.INI") != std::string::npos) return item.Name;
    return "Korvane\\Data\\korvane.ini";
}

bool WriteSanitizerIni(IDriveFiles& drive, const TExeDataBase& floppyPayload, const TOptionStates& states) {
    return WriteText(drive, SanitizerIniPath(floppyPayload), DirectFileText(IniLines(states)));
}

}  // namespace bootdisk
