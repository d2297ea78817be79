// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Formats a floppy with the host's own `format` command, answering its prompts.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace bootdisk {

// Called with an empty text on every polling cycle and with each output line as it is consumed.
using FormatProgress = std::function<void(const std::string& text, double fraction)>;

struct TFormatHost {
    std::string Comspec;  // the command interpreter's path; empty when the host names none
    // A format that has not ended by then has hung: it is ended and the run fails.
    std::chrono::milliseconds TimeLimit = std::chrono::minutes(15);
};

// The interpreter named by the environment's "comspec".
TFormatHost DefaultFormatHost();

// 0 = not started, 1 = failed, 2 = bad sectors found, 3 = done.
std::uint8_t RunFormat(char Drive, bool WithSystem, const FormatProgress& Callback,
                       const TFormatHost& host = DefaultFormatHost());

}  // namespace bootdisk
