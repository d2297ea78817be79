// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The twelve sanitizer option states, kept from one run to the next as values opt0 .. opt11
// under the configuration key.
#include <string>

#include "image/BootConfig.h"
#include "platform/Settings.h"

namespace bootdisk {

// Applies the saved states over the current ones; a missing key or value, or one that is not an
// integer, leaves that state as it is.
void LoadOptions(ISettingsStore& store, const std::string& key, TOptionStates& states);
// False when the states could not be stored; whatever was saved before stays intact.
bool SaveOptions(ISettingsStore& store, const std::string& key, const TOptionStates& states);

}  // namespace bootdisk
