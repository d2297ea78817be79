// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include "platform/Settings.h"

namespace bootdisk {

std::unique_ptr<ISettingsStore> UserSettings() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) return IniSettings(config);
    const char* home = std::getenv("HOME");
    return IniSettings(std::string(home && *home ? home : ".") + "/.config");
}

}  // namespace bootdisk
