// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sanitizer options as the options page and the command line offer them, and the boot OS list.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/StrConst.h"
#include "image/BootConfig.h"
#include "platform/HostSystem.h"

namespace bootdisk {

struct TOptionInfo {
    StrId label;                  // as the options page shows it
    std::string_view switchName;  // the command line's --NAME / --no-NAME
};

inline constexpr std::array<TOptionInfo, kOptionCount> kOptionInfo = {{
    {StrId::GUI_OPTION1, "verify"},
    {StrId::GUI_OPTION2, "back-to-front"},
    {StrId::GUI_OPTION3, "zero-pass"},
    {StrId::GUI_OPTION4, "log"},
    {StrId::GUI_OPTION5, "dod-log"},
    {StrId::GUI_OPTION6, "interruptible"},
    {StrId::GUI_OPTION7, "unattended"},
    {StrId::GUI_OPTION8, "pause-after-pass"},
    {StrId::GUI_OPTION9, "isaac"},
    {StrId::GUI_OPTION10, "create-partition"},
    {StrId::GUI_OPTION11, "dma"},
    {StrId::GUI_OPTION12, "disable-mouse"},
}};

// Parses twelve "0"/"1" characters in option order; false for anything else.
bool ParseOptionsString(std::string_view bits, TOptionStates& states);

// Typed parameters as AUTOEXEC.BAT holds them: in its 8-bit code page, Windows-1252, on one
// batch line that DOS reads whole. They are checked as typed, before any conversion: UTF-16 from a
// wizard's text box, UTF-8 from the command line. A control character, a character the code page
// cannot hold, bytes that are not UTF-8, or more than fits the line are refused; a refused
// character is named with its place. Nothing is ever replaced.
struct TBatchParameters {
    enum class Refusal { None, ControlCharacter, OutsideCodePage, NotUtf8, TooLong };
    std::string text;  // Windows-1252, when nothing is refused
    Refusal refusal = Refusal::None;
    char32_t character = 0;  // the refused one: a code point, a lone surrogate, or the byte that is not UTF-8
    std::size_t position = 0;  // of the refused character, counted in characters from 1
    std::size_t length = 0;    // in characters, of parameters refused as too long
};
// The most characters the parameters may have: the sanitizer's line is "Korvane " and them.
inline constexpr std::size_t kMaxParameters = kMaxBatchLine - kSanitizerCommand.size();
TBatchParameters ToBatchParameters(std::u16string_view typed);
TBatchParameters ToBatchParameters(std::string_view typedUtf8);
// "U+263A", the code of a character.
std::string CharacterCode(char32_t c);
// "Ω (U+03A9)": the character as it shows (UTF-8) and its code; the code alone for one that
// shows nothing of itself (a control character, a lone surrogate).
std::string CharacterName(char32_t c);
// What the user is told about a refusal, from the string table: a control character by its name
// ("a tab"), any other by itself and its code, and where it is.
std::string ParametersRefusalText(const TStringTable& texts, const TBatchParameters& checked);

// The boot OS entries offered on this host: MS-DOS only where the host's Windows release carries
// an MS-DOS system to take; the first entry is the default.
std::vector<std::string> OsChoices(TWinVersion version, const std::string& msDosText,
                                   const std::string& rxDosText);

// A CD boots MS-DOS on Windows, from the host's files or a folder the user names. A host without
// Windows has no MS-DOS of its own, so there a CD offers the boot systems a floppy does.
bool CdOffersOsChoice(TWinVersion version);
// The boot system of a CD: MS-DOS on Windows, the chosen one elsewhere.
bool CdUsesMsDos(TWinVersion version, bool chosenMsDos);

}  // namespace bootdisk
