// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up splash: shown while the payloads load and the media kinds are built, keeping
// itself painted between the steps.
#include <functional>
#include <string>
#include <vector>

namespace bootdisk::win {

// Shows the splash, runs the steps in order and closes it; false as soon as a step fails.
bool RunInitialization(const std::string& title, const std::vector<std::function<bool()>>& steps);

}  // namespace bootdisk::win
