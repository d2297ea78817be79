// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/Settings.h"

namespace bootdisk {
namespace {

// Values under a key of the current user's registry, opened with full access both ways as the
// program always has.
class TRegistrySettings : public ISettingsStore {
public:
    std::optional<TSettingValues> Read(const std::string& key) override {
        HKEY handle;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
            return std::nullopt;
        TSettingValues values;
        char name[256];
        for (DWORD index = 0;; ++index) {
            DWORD nameLength = sizeof name, type = 0, data = 0, dataLength = sizeof data;
            const auto status = RegEnumValueA(handle, index, name, &nameLength, nullptr, &type,
                                              reinterpret_cast<BYTE*>(&data), &dataLength);
            if (status == ERROR_NO_MORE_ITEMS) break;
            const bool isDword = status == ERROR_SUCCESS && type == REG_DWORD && dataLength == sizeof data;
            if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA)
                values[std::string(name, nameLength)] = isDword ? std::optional<std::uint32_t>(data) : std::nullopt;
        }
        RegCloseKey(handle);
        return values;
    }

    bool Write(const std::string& key, const std::map<std::string, std::uint32_t>& values) override {
        HKEY handle;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                            nullptr) != ERROR_SUCCESS)
            return false;
        bool written = true;
        for (const auto& [name, value] : values) {
            const DWORD data = value;
            written &= RegSetValueExA(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                      sizeof data) == ERROR_SUCCESS;
        }
        RegCloseKey(handle);
        return written;
    }
};

}  // namespace

std::unique_ptr<ISettingsStore> UserSettings() { return std::make_unique<TRegistrySettings>(); }

}  // namespace bootdisk
