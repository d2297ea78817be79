// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Options.h"

#include <cstdio>

#include "base/Text.h"

namespace bootdisk {

TBatchParameters ToBatchParameters(std::string_view typed) {
    TBatchParameters result;
    std::size_t count = 0;
    for (std::size_t i = 0; i < typed.size();) {
        const auto start = i;
        const auto c = DecodeUtf8(typed, i);
        const auto byte = c ? ToCp1252(*c) : std::nullopt;
        ++count;
        if (c && IsControlCharacter(*c)) {
            result.refusal = TBatchParameters::Refusal::ControlCharacter;
        } else if (!byte) {
            result.refusal = TBatchParameters::Refusal::OutsideCodePage;
        } else {
            result.text += *byte;
            continue;
        }
        result.character = c.value_or(0xFFFD);
        result.position = count;
        result.typed = typed.substr(start, i - start);
        result.text.clear();
        return result;
    }
    if (result.text.size() > kMaxParameters) {
        result.refusal = TBatchParameters::Refusal::TooLong;
        result.length = result.text.size();
        result.text.clear();
    }
    return result;
}

std::string CharacterCode(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", unsigned(c));
    return name;
}

std::string ParametersRefusalText(const TStringTable& texts, const TBatchParameters& checked) {
    using TRefusal = TBatchParameters::Refusal;
    if (checked.refusal == TRefusal::TooLong)
        return WithValues(texts[StrId::GUI_TEXTPARAMETERSTOOLONG],
                          {std::to_string(kMaxParameters), std::to_string(checked.length)});
    // A pasted tab shows as blanks in the box: it is named, not only numbered.
    std::string name;
    switch (checked.character) {
        case U'\t': name = texts[StrId::GUI_CHARTAB]; break;
        case U'\n':
        case U'\r': name = texts[StrId::GUI_CHARLINEBREAK]; break;
        default:
            name = WithValues(texts[checked.refusal == TRefusal::ControlCharacter ? StrId::GUI_CHARCONTROL
                                                                                  : StrId::GUI_CHARCODE],
                              {CharacterCode(checked.character)});
    }
    const auto text = texts[checked.refusal == TRefusal::ControlCharacter ? StrId::GUI_TEXTBADPARAMETERS
                                                                          : StrId::GUI_TEXTPARAMETERCODEPAGE];
    return text + " " + WithValues(texts[StrId::GUI_TEXTCHARACTERAT], {name, std::to_string(checked.position)});
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
