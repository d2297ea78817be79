// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wizards' command line: --help, --version, --payload FILE and --language CODE. Other words are left for the
// toolkit (Qt takes -platform, -style and the like).
#include <optional>
#include <string>
#include <vector>

namespace bootdisk {

struct TWizardArguments {
    bool help = false;
    bool version = false;
    std::optional<std::string> payloadFile;
    std::optional<std::string> language;  // the texts' language; else the user's
    std::vector<std::string> rest;  // the words not taken, in order
    std::string error;              // what is wrong; empty when the words are fine
};

TWizardArguments ParseWizardArguments(const std::vector<std::string>& words);

// The text of --help; programName is "bootdisk-wizard".
std::string WizardUsage(const std::string& programName);

}  // namespace bootdisk
