// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/Settings.h"
#include "platform/win32/Utf8.h"

namespace bootdisk {
namespace {

// Values under a key of the current user's registry, opened with full access both ways as the
// program always has. Each value is asked for by name, so that its case does not matter.
class TRegistrySettings : public ISettingsStore {
public:
    std::optional<TSettingValues> Read(const std::string& key, const std::vector<std::string>& names) override {
        HKEY handle;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(key).c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
            return std::nullopt;
        TSettingValues values;
        for (const auto& name : names) {
            DWORD type = 0, data = 0, size = sizeof data;
            const auto status =
                RegQueryValueExW(handle, Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
            if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) continue;
            const bool isDword = status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof data;
            values[name] = isDword ? std::optional<std::uint32_t>(data) : std::nullopt;
        }
        RegCloseKey(handle);
        return values;
    }

    bool Write(const std::string& key, const std::map<std::string, std::uint32_t>& values) override {
        HKEY handle;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                            nullptr) != ERROR_SUCCESS)
            return false;
        bool written = true;
        for (const auto& [name, value] : values) {
            const DWORD data = value;
            written &= RegSetValueExW(handle, Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                      sizeof data) == ERROR_SUCCESS;
        }
        RegCloseKey(handle);
        return written;
    }
};

}  // namespace

std::unique_ptr<ISettingsStore> UserSettings() { return std::make_unique<TRegistrySettings>(); }

}  // namespace bootdisk
