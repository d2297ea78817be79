#include "image/DirectWriters.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/Text.h"

namespace bootdisk {
namespace {

bool WriteText(const IHostSystem& host, const std::string& path, const std::string& text) {
    try {
        auto file = host.OpenWrite(path);
        file->WriteBuffer(text.data(), text.size());
        file->Close();
        return true;
    } catch (const EStreamError&) {
        return false;
    }
}

}  // namespace

bool WriteAutoexecBat(const IHostSystem& host, const std::string& driveRoot, std::string_view runningText,
                      std::string_view parameters, bool loadMouse) {
    return WriteText(host, driveRoot + "Autoexec.bat",
                     DirectFileText(AutoexecLines(runningText, loadMouse, parameters)));
}

std::string SanitizerIniPath(const TExeDataBase& floppyPayload) {
    for (const auto& item : floppyPayload.Items())
        if (UpperAnsi(item.Name).find("KORVANE.INI") != std::string::npos) return item.Name;
    return "Korvane\\Data\\korvane.ini";
}

bool WriteSanitizerIni(const IHostSystem& host, const std::string& driveRoot, const TExeDataBase& floppyPayload,
                       const TOptionStates& states) {
    auto relative = SanitizerIniPath(floppyPayload);
    std::replace(relative.begin(), relative.end(), '\\', host.PathSeparator());
    return WriteText(host, driveRoot + relative, DirectFileText(IniLines(states)));
}

}  // namespace bootdisk
