// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file that keeps the record of media made: where it lives, and lines added to its end.
#include <string>
#include <string_view>

namespace bootdisk {

// The user's own place for it: $XDG_STATE_HOME/bootdisk/media.jsonl (~/.local/state/...) on Linux,
// the local application data folder's bootdisk\media.jsonl on Windows; empty when the system
// names no such folder.
std::string DefaultRecordPath();

// Adds line and a line break at the file's end in one write, so that runs recording at the same
// time never mix their lines; creates the file and its folders. Throws EStreamError with the
// system's reason.
void AppendRecordLine(const std::string& path, std::string_view line);

}  // namespace bootdisk
