// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Output.h"

#include <string>

#include "base/Text.h"
#include "platform/Host.h"

namespace bootdisk::cli {

void PrintError(std::string_view command, std::string_view message) {
    const auto lines = WithLineFeeds(message);
    std::string_view text = lines;
    do {
        const auto end = text.find('\n');
        Print("bootdisk " + std::string(command) + ": " + std::string(text.substr(0, end)) + "\n", stderr);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    } while (!text.empty());
    std::fflush(stderr);
}

void Print(std::string_view text, std::FILE* stream) { std::fputs(TerminalText(text).c_str(), stream); }

}  // namespace bootdisk::cli
