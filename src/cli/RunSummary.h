// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a command that makes media tells a script under --json: one object, printed as the command
// ends, whatever ended it, naming each medium with the record's words.
#include <string>
#include <vector>

#include "app/MediaRecord.h"
#include "cli/ExitCodes.h"

namespace bootdisk::cli {

struct TRunSummary {
    std::string record;  // the record file the media went to; empty when none
    std::vector<TMediaRecord> media;
    bool recordFailed = false;  // a medium the record file did not take
};

// The run of this process.
TRunSummary& RunSummary();

// {"format": 1, "command", "outcome", "exitCode", "record", "media": [...]}
std::string RunSummaryJson(const std::string& command, TExitCode code);

}  // namespace bootdisk::cli
