// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two files that start and configure the sanitizer on every boot medium: AUTOEXEC.BAT and
// KORVANE.INI.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bootdisk {

inline constexpr std::size_t kOptionCount = 12;
// Option 12 ("Disable mouse support") is not written to the INI; it drops the mouse driver line.
inline constexpr std::size_t kIniOptionCount = 11;
using TOptionStates = std::array<bool, kOptionCount>;
inline constexpr TOptionStates kDefaultOptions = {true,  false, false, true, true,  true,
                                                  false, false, true,  false, true, false};

// One "1" or "0" per option, in list order.
std::string OptionsString(const TOptionStates& states);
inline bool LoadMouse(const TOptionStates& states) { return !states[kOptionCount - 1]; }

// AUTOEXEC.BAT and KORVANE.INI line by line, without line ends. The running text is the string
// table's (UTF-8), echoed in the DOS code page 850; the parameters are Windows-1252, as the
// sanitizer reads them.
std::vector<std::string> AutoexecLines(std::string_view runningText, bool loadMouse,
                                       std::string_view parameters);
std::vector<std::string> IniLines(const TOptionStates& states);

// The sanitizer's line of AUTOEXEC.BAT: this command, then the parameters.
inline constexpr std::string_view kSanitizerCommand = "Korvane ";
// DOS reads at most this many characters of a batch file line; the rest of a longer line is lost.
inline constexpr std::size_t kMaxBatchLine = 127;

// Parameters go into a batch file line, where a line break or an end-of-file mark would cut it
// and other control characters mean something to the DOS console: none of them is taken.
bool IsControlCharacter(char32_t c);
bool ParametersAreValid(std::string_view parameters);

// The AUTOEXEC.BAT text written into images, composed once after the texts are loaded. Unlike
// the direct writer it keeps long lines whole.
class TAutoexecTemplate {
public:
    explicit TAutoexecTemplate(std::string_view runningText);
    std::string Text(bool loadMouse, std::string_view parameters) const;

private:
    std::string withMouse_;
    std::string withoutMouse_;
};

// The KORVANE.INI text written into images: a position past the end of the options string
// counts as checked.
std::string ImageIniText(std::string_view optionsString);

// The texts the direct writers put on a mounted drive: every line cut to 255 characters.
std::string DirectFileText(const std::vector<std::string>& lines);

}  // namespace bootdisk
