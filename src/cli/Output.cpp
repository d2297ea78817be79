// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Output.h"

#include <cstdio>
#include <string>

#include "base/Text.h"

namespace bootdisk::cli {

void PrintError(std::string_view command, std::string_view message) {
    const auto lines = WithLineFeeds(message);
    std::string_view text = lines;
    do {
        const auto end = text.find('\n');
        const auto line = text.substr(0, end);
        std::fprintf(stderr, "bootdisk %.*s: %.*s\n", int(command.size()), command.data(), int(line.size()),
                     line.data());
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    } while (!text.empty());
    std::fflush(stderr);
}

}  // namespace bootdisk::cli
