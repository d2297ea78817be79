// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exit status of every command: one meaning each, so a script can tell the outcomes apart.
// `bootdisk --help`, the manual page and the README list them from here.
#include <array>

namespace bootdisk::cli {

enum class TExitCode : int {
    Made = 0,              // everything asked for was made (or listed)
    Failed = 1,            // something could not be made: a failed copy, a damaged payload, a write error
    Usage = 2,             // the command line is wrong: an unknown command or option, a missing value
    ReadBackMismatch = 3,  // a medium was written but does not read back as written
    Refused = 4,           // a drive or writer named as target was refused before anything was written to it
    Stopped = 5,           // the user stopped the run at a prompt or did not agree to write
};

struct TExitCodeInfo {
    TExitCode code;
    const char* meaning;
};

inline constexpr std::array<TExitCodeInfo, 6> kExitCodes{{
    {TExitCode::Made, "made: everything asked for was made"},
    {TExitCode::Failed, "failed: something could not be made (the messages say what)"},
    {TExitCode::Usage, "usage: the command line is wrong"},
    {TExitCode::ReadBackMismatch, "read-back mismatch: a medium does not read back as written"},
    {TExitCode::Refused, "refused: a drive or writer named as target was refused; nothing was written"},
    {TExitCode::Stopped, "stopped: the run was stopped at a prompt, or writing was not agreed to"},
}};

// An interruption (SIGINT, SIGTERM, SIGHUP) ends a run by the signal itself, which a shell shows as
// 128 + the signal's number; on Windows Ctrl+C exits with that status.
inline constexpr const char* kInterruptedMeaning =
    "interrupted: ended by the signal, which a shell shows as 128 + its number (130 for Ctrl+C)";

}  // namespace bootdisk::cli
