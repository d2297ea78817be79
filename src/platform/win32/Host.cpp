#include "platform/Host.h"

#include <io.h>
#include <windows.h>

#include <cstdio>
#include <stdexcept>

namespace bootdisk {

std::string ExecutableDir() {
    char path[MAX_PATH];
    const auto n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n == MAX_PATH) throw std::runtime_error("Cannot find the folder of the running program");
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

bool StdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

std::string SystemErrorText(std::uint32_t code) {
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                   sizeof text, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n')) message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

}  // namespace bootdisk
