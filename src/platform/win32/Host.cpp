// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Host.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "platform/win32/Utf8.h"

namespace bootdisk {

std::string ExecutableDir() {
    wchar_t path[MAX_PATH];
    const auto n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n == MAX_PATH) throw std::runtime_error("Cannot find the folder of the running program");
    const std::string dir = Narrow({path, n});
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

// _isatty is true for every character device, NUL included: only a console has a console mode.
bool StdinIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool StderrIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::string SystemErrorText(std::uint32_t code) {
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                   sizeof text, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n')) message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words != nullptr && i < count; ++i) arguments.push_back(Narrow(words[i]));
    LocalFree(words);
    return arguments;
}

namespace {
UINT consoleCodePage = 0;
void RestoreConsoleCodePage() { SetConsoleOutputCP(consoleCodePage); }
}  // namespace

void UseUtf8Console() {
    DWORD mode = 0;
    if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) &&
        !GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode))
        return;
    const UINT current = GetConsoleOutputCP();
    if (current == CP_UTF8 || !SetConsoleOutputCP(CP_UTF8)) return;
    consoleCodePage = current;
    std::atexit(RestoreConsoleCodePage);
}

std::string TerminalText(std::string_view utf8) { return std::string(utf8); }

std::string TextFromTerminal(std::string_view typed) { return std::string(typed); }

std::FILE* OpenFileUtf8(const std::string& path, const char* mode) {
    return _wfopen(Widen(path).c_str(), Widen(mode).c_str());
}

TProgramVersion ProgramVersion() {
    wchar_t path[MAX_PATH];
    const auto n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = n > 0 && n < MAX_PATH ? GetFileVersionInfoSizeW(path, &ignored) : 0;
    std::vector<BYTE> info(size);
    void* fixed = nullptr;
    UINT length = 0;
    if (size > 0 && GetFileVersionInfoW(path, 0, size, info.data()) &&
        VerQueryValueW(info.data(), L"\\", &fixed, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* version = static_cast<const VS_FIXEDFILEINFO*>(fixed);
        const auto three = std::to_string(HIWORD(version->dwProductVersionMS)) + "." +
                           std::to_string(LOWORD(version->dwProductVersionMS)) + "." +
                           std::to_string(HIWORD(version->dwProductVersionLS));
        return {three, three + "." + std::to_string(LOWORD(version->dwProductVersionLS))};
    }
    // Programs without the resource (the tests) carry the build's own numbers.
    return {BOOTDISK_VERSION, BOOTDISK_BUILD};
}

// The language of the user's menus and dialogs; Windows before 2000 knows only the user's locale.
std::vector<std::string> UserLanguages() {
    using TUiLanguage = LANGID(WINAPI*)();
    const auto uiLanguage = reinterpret_cast<TUiLanguage>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetUserDefaultUILanguage")));
    const LANGID language = uiLanguage ? uiLanguage() : GetUserDefaultLangID();
    char name[16] = {};
    if (GetLocaleInfoA(MAKELCID(language, SORT_DEFAULT), LOCALE_SISO639LANGNAME, name, sizeof name) == 0) return {};
    return {name};
}

}  // namespace bootdisk
