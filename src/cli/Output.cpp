// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
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

bool CloseStandardOutput() {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    int error = errno;
    // A stdout closed by the caller is no error while nothing was written to it.
    const bool closed = std::fclose(stdout) == 0 || (flushed && errno == EBADF);
    if (flushed && closed) return true;
    if (flushed) error = errno;
    const std::string reason = error != 0 ? std::string(": ") + std::strerror(error) : std::string();
    std::fprintf(stderr, "bootdisk: cannot write standard output%s\n", reason.c_str());
    return false;
}

}  // namespace bootdisk::cli
