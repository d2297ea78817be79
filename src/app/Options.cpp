// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Options.h"

#include <cstdio>
#include <type_traits>

#include "base/Text.h"

namespace bootdisk {

namespace {

// Checks the characters decode gives one by one: each a code point, or nothing with the unit
// that does not decode.
template <class Text>
TBatchParameters CheckedParameters(Text typed, std::optional<char32_t> (*decode)(Text, std::size_t&),
                                   TBatchParameters::Refusal undecodable) {
    using TRefusal = TBatchParameters::Refusal;
    TBatchParameters result;
    std::size_t count = 0;
    for (std::size_t i = 0; i < typed.size();) {
        const char32_t unit = std::make_unsigned_t<typename Text::value_type>(typed[i]);
        const auto c = decode(typed, i);
        const auto byte = c ? ToCp1252(*c) : std::nullopt;
        ++count;
        if (c && IsControlCharacter(*c)) {
            result.refusal = TRefusal::ControlCharacter;
        } else if (!c) {
            result.refusal = undecodable;
        } else if (!byte) {
            result.refusal = TRefusal::OutsideCodePage;
        } else {
            result.text += *byte;
            continue;
        }
        result.character = c.value_or(unit);
        result.position = count;
        result.text.clear();
        return result;
    }
    if (count > kMaxParameters) {
        result.refusal = TRefusal::TooLong;
        result.length = count;
        result.text.clear();
    }
    return result;
}

}  // namespace

TBatchParameters ToBatchParameters(std::u16string_view typed) {
    // A lone surrogate is no character Windows-1252 holds.
    return CheckedParameters(typed, &DecodeUtf16, TBatchParameters::Refusal::OutsideCodePage);
}

TBatchParameters ToBatchParameters(std::string_view typedUtf8) {
    return CheckedParameters(typedUtf8, &DecodeUtf8, TBatchParameters::Refusal::NotUtf8);
}

std::string CharacterCode(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", unsigned(c));
    return name;
}

std::string CharacterName(char32_t c) {
    if (IsControlCharacter(c) || (c >= 0x80 && c < 0xA0) || (c >= 0xD800 && c <= 0xDFFF)) return CharacterCode(c);
    std::string name;
    AppendUtf8(name, c);
    return name + " (" + CharacterCode(c) + ")";
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
            name = checked.refusal == TRefusal::ControlCharacter
                       ? WithValues(texts[StrId::GUI_CHARCONTROL], {CharacterCode(checked.character)})
                       : WithValues(texts[StrId::GUI_CHARCODE], {CharacterName(checked.character)});
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
