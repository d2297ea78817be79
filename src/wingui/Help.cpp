// SPDX-License-Identifier: GPL-3.0-or-later
#include "wingui/Help.h"

#include <shellapi.h>

#include "platform/Host.h"
#include "platform/win32/Utf8.h"

namespace bootdisk::win {

namespace {

constexpr UINT kDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
constexpr UINT kDisplayToc = 0x0001;    // HH_DISPLAY_TOC
using THtmlHelp = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);

// The viewer's library is loaded once, when help is first asked for; a host without it gets the
// topic files instead.
THtmlHelp HtmlHelp() {
    static const THtmlHelp entry = [] {
        HMODULE library = LoadLibraryA("hhctrl.ocx");
        return library ? reinterpret_cast<THtmlHelp>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")))
                       : nullptr;
    }();
    return entry;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The shell answers a number above 32 when something opened the file.
std::optional<std::string> ShellOpen(HWND owner, const std::string& path, int show) {
    const auto quoted = L"\"" + Widen(path) + L"\"";
    if (reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", quoted.c_str(), nullptr, nullptr, show)) > 32)
        return std::nullopt;
    return path;
}

}  // namespace

bool THelp::OpenInViewer(const std::string& topic, UINT command) const {
    const auto file = Widen(ExecutableDir() + "quellmark.chm");
    if (!Exists(file) || !HtmlHelp()) return false;
    const auto target = topic.empty() ? file : file + L"::/" + Widen(topic);
    return HtmlHelp()(GetDesktopWindow(), target.c_str(), command, 0) != nullptr;
}

std::string THelp::TopicFile(const std::string& keyword) {
    return ExecutableDir() + "help\\" + (keyword.empty() ? "index" : keyword) + ".htm";
}

std::optional<std::string> THelp::OpenKeyword(const std::string& keyword) const {
    if (OpenInViewer(keyword + ".htm", kDisplayTopic)) return std::nullopt;
    return ShellOpen(owner_, TopicFile(keyword), SW_SHOWNORMAL);
}

std::optional<std::string> THelp::OpenContents() const {
    if (OpenInViewer({}, kDisplayToc)) return std::nullopt;
    return ShellOpen(owner_, TopicFile({}), SW_SHOWNORMAL);
}

std::optional<std::string> THelp::OpenFile(const std::string& name) const {
    return ShellOpen(owner_, ExecutableDir() + name, SW_SHOWMAXIMIZED);
}

}  // namespace bootdisk::win
