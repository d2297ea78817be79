#include "app/Options.h"

namespace bootdisk {

bool ParseOptionsString(std::string_view bits, TOptionStates& states) {
    if (bits.size() != kOptionCount) return false;
    TOptionStates parsed{};
    for (std::size_t i = 0; i < kOptionCount; ++i) {
        if (bits[i] != '0' && bits[i] != '1') return false;
        parsed[i] = bits[i] == '1';
    }
    states = parsed;
    return true;
}

std::vector<std::string> OsChoices(TWinVersion version, const std::string& msDosText,
                                   const std::string& rxDosText) {
    if (ClassifyWindows(version) == TWindowsRelease::Other) return {rxDosText};
    return {msDosText, rxDosText};
}

}  // namespace bootdisk
