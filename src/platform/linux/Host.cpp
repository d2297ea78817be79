// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Host.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace bootdisk {

std::string ExecutableDir() {
    char path[PATH_MAX];
    const auto n = readlink("/proc/self/exe", path, sizeof path);
    if (n <= 0 || n >= PATH_MAX) throw std::runtime_error("Cannot find the folder of the running program");
    std::string dir(path, std::size_t(n));
    return dir.substr(0, dir.rfind('/') + 1);
}

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

std::string SystemErrorText(std::uint32_t code) { return std::strerror(static_cast<int>(code)); }

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

// Terminals here take UTF-8 as it is.
void UseUtf8Console() {}

std::FILE* OpenFileUtf8(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

TProgramVersion ProgramVersion() { return {BOOTDISK_VERSION, BOOTDISK_BUILD}; }

// LC_ALL, else LC_MESSAGES, else LANG is the locale of messages; LANGUAGE lists languages wanted
// before it, except in the "C" locale, which asks for untranslated texts (as gettext reads them).
std::vector<std::string> UserLanguages() {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    if (locale.empty() || locale == "C" || locale.starts_with("C.") || locale == "POSIX") return {};
    std::vector<std::string> languages;
    std::string list = std::getenv("LANGUAGE") ? std::getenv("LANGUAGE") : "";
    for (std::size_t start = 0; start <= list.size();) {
        const auto end = std::min(list.find(':', start), list.size());
        if (end > start) languages.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    languages.push_back(locale);
    return languages;
}

}  // namespace bootdisk
