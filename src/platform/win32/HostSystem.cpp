// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostSystem.h"

#include <windows.h>

#include "platform/win32/Utf8.h"

namespace bootdisk {
namespace {

OSVERSIONINFOA VersionInfo() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return {};
#pragma GCC diagnostic pop
    return info;
}

class TWin32Host : public IHostSystem {
public:
    TWinVersion Version() const override {
        const auto info = VersionInfo();
        return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
    }
    // The 9x family keeps its major and minor version in the build number's high word.
    std::uint32_t BuildNumber() const override { return VersionInfo().dwBuildNumber & 0xFFFF; }
    std::string WindowsDirectory() const override {
        wchar_t path[MAX_PATH];
        const auto n = GetWindowsDirectoryW(path, MAX_PATH);
        return n > 0 && n < MAX_PATH ? Narrow({path, n}) : std::string();
    }
    // The process's own block, in its wide form: the C runtime's copy is made in the ANSI code
    // page at start, where a folder named outside it has lost its letters.
    std::optional<std::string> Environment(const std::string& name) const override {
        const std::wstring wide = Widen(name);
        std::wstring value(MAX_PATH, L'\0');
        for (;;) {
            SetLastError(ERROR_SUCCESS);
            const DWORD n = GetEnvironmentVariableW(wide.c_str(), value.data(), DWORD(value.size()));
            if (n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            if (n < value.size()) return Narrow({value.data(), n});
            value.resize(n);  // n counts the terminating zero when the value did not fit
        }
    }
    char PathSeparator() const override { return '\\'; }

    std::optional<std::string> FindFile(const std::string& path) const override {
        const auto attributes = GetFileAttributesW(Widen(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return std::nullopt;
        return path;
    }
    std::unique_ptr<TStream> OpenRead(const std::string& path) const override {
        return std::make_unique<TFileStream>(path, FileMode::Read);
    }
    std::unique_ptr<TStream> OpenWrite(const std::string& path) const override {
        return std::make_unique<TFileStream>(path, FileMode::Create);
    }

    std::optional<std::vector<std::uint8_t>> LibraryResource(const std::string& library,
                                                             const std::string& name,
                                                             const std::string& type) const override {
        // The library stays loaded: the resource bytes are read straight from its image.
        HMODULE module = LoadLibraryA(library.c_str());
        if (!module) return std::nullopt;
        HRSRC resource = FindResourceA(module, name.c_str(), type.c_str());
        HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
        const auto* bytes = loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
        if (!bytes) return std::nullopt;
        return std::vector<std::uint8_t>(bytes, bytes + SizeofResource(module, resource));
    }
};

}  // namespace

IHostSystem& RealHost() {
    static TWin32Host host;
    return host;
}

}  // namespace bootdisk
