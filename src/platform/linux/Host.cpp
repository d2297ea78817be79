#include "platform/Host.h"

#include <unistd.h>

#include <climits>

namespace bootdisk {

std::string ExecutableDir() {
    char path[PATH_MAX];
    const auto n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "./";
    std::string dir(path, std::size_t(n));
    return dir.substr(0, dir.rfind('/') + 1);
}

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

}  // namespace bootdisk
