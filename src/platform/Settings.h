// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program keeps what survives from one run to the next: named 32-bit values under a key
// (the current user's registry on Windows, an INI file under the user's configuration folder on
// Linux).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bootdisk {

// Each value by name; a value that exists but is not a 32-bit integer reads as nothing.
using TSettingValues = std::map<std::string, std::optional<std::uint32_t>>;

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // The values of names under key, each asked for by name as the store matches names (the
    // registry ignores case); a name without a value is left out. Nothing when the key does not
    // exist or cannot be opened.
    virtual std::optional<TSettingValues> Read(const std::string& key, const std::vector<std::string>& names) = 0;
    // Stores the values under key, creating it; false when any value could not be written.
    virtual bool Write(const std::string& key, const std::map<std::string, std::uint32_t>& values) = 0;
};

// The current user's store on this host.
std::unique_ptr<ISettingsStore> UserSettings();

// The INI store the Linux port uses, rooted at a folder (for tests and other roots).
std::unique_ptr<ISettingsStore> IniSettings(const std::string& rootFolder);

}  // namespace bootdisk
