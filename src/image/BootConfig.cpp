// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/BootConfig.h"

#include <algorithm>
#include <cstdint>

#include "base/DosText.h"

namespace bootdisk {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kDirectLineLimit = 255;

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text.append(line).append(kLineEnd);
    return text;
}

std::string IniText(std::string_view states) {
    std::string text;
    for (std::size_t i = 0; i < kIniOptionCount; ++i)
        text.append("O").append(std::to_string(i + 1)).append("=").append(1, states[i]).append(kLineEnd);
    return text.append("L=0").append(kLineEnd);
}

}  // namespace

std::string OptionsString(const TOptionStates& states) {
    std::string text;
    for (bool checked : states) text += checked ? '1' : '0';
    return text;
}

std::vector<std::string> AutoexecLines(std::string_view runningText, bool loadMouse,
                                       std::string_view parameters) {
    std::vector<std::string> lines = {"@echo off", "prompt $p$g", "cd \\Korvane"};
    if (loadMouse) lines.emplace_back("data\\ctmouse");
    // DOS shows this line itself: in its own code page.
    lines.push_back("@echo " + Utf8ToCp850(runningText));
    lines.push_back(std::string(kSanitizerCommand) + std::string(parameters));
    return lines;
}

std::vector<std::string> IniLines(const TOptionStates& states) {
    std::vector<std::string> lines;
    const auto text = IniText(OptionsString(states));
    for (std::size_t start = 0; start < text.size();) {
        const auto end = text.find(kLineEnd, start);
        lines.push_back(text.substr(start, end - start));
        start = end + kLineEnd.size();
    }
    return lines;
}

bool IsControlCharacter(char32_t c) { return c < 0x20 || c == 0x7F; }

bool ParametersAreValid(std::string_view parameters) {
    return std::none_of(parameters.begin(), parameters.end(),
                        [](char c) { return IsControlCharacter(std::uint8_t(c)); });
}

TAutoexecTemplate::TAutoexecTemplate(std::string_view runningText) {
    auto constantPart = [&](bool loadMouse) {
        auto text = JoinLines(AutoexecLines(runningText, loadMouse, {}));
        return text.substr(0, text.size() - kLineEnd.size());  // ends with "Korvane "
    };
    withMouse_ = constantPart(true);
    withoutMouse_ = constantPart(false);
}

std::string TAutoexecTemplate::Text(bool loadMouse, std::string_view parameters) const {
    return (loadMouse ? withMouse_ : withoutMouse_) + std::string(parameters) + std::string(kLineEnd);
}

std::string ImageIniText(std::string_view optionsString) {
    return IniText(std::string(optionsString) + std::string(23, '1'));
}

std::string DirectFileText(const std::vector<std::string>& lines) {
    std::vector<std::string> cut;
    for (const auto& line : lines) cut.push_back(line.substr(0, kDirectLineLimit));
    return JoinLines(cut);
}

}  // namespace bootdisk
