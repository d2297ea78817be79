// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Host.h"

#include <unistd.h>

#include <climits>
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

}  // namespace bootdisk
