// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Options.h"

#include <cstdio>

#include "base/Text.h"

namespace bootdisk {

TBatchParameters ToBatchParameters(std::string_view typed) {
    TBatchParameters result;
    for (std::size_t i = 0; i < typed.size();) {
        const auto c = DecodeUtf8(typed, i);
        const auto byte = c ? ToCp1252(*c) : std::nullopt;
        if (c && IsControlCharacter(*c)) {
            result.refusal = TBatchParameters::Refusal::ControlCharacter;
        } else if (!byte) {
            result.refusal = TBatchParameters::Refusal::OutsideCodePage;
        } else {
            result.text += *byte;
            continue;
        }
        result.character = c.value_or(0xFFFD);
        result.text.clear();
        return result;
    }
    return result;
}

std::string CharacterName(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", unsigned(c));
    return name;
}

std::string ParametersRefusalText(const TStringTable& texts, const TBatchParameters& checked) {
    const auto text = checked.refusal == TBatchParameters::Refusal::ControlCharacter
                          ? texts[StrId::GUI_TEXTBADPARAMETERS] + " "
                          : texts[StrId::GUI_TEXTPARAMETERCODEPAGE];
    return text + "(" + CharacterName(checked.character) + ")";
}

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

// No Windows release has major version 0: that is the triple of a host without Windows.
bool CdOffersOsChoice(TWinVersion version) { return version.major == 0; }

bool CdUsesMsDos(TWinVersion version, bool chosenMsDos) { return CdOffersOsChoice(version) ? chosenMsDos : true; }

}  // namespace bootdisk
