// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rule of the system-file folder dialog: a folder is taken only when it holds both MS-DOS
// system files.
#include <optional>
#include <string>

#include "base/StrConst.h"
#include "platform/Dialogs.h"
#include "platform/HostSystem.h"

namespace bootdisk {

// The folder with one path separator appended where it has none, when it holds "Io.Sys" and
// "command.com"; nothing otherwise.
std::optional<std::string> AcceptSystemFolder(const IHostSystem& host, std::string folder);

// Cancel asks "Are you sure?": true (close the dialog) on Yes, false (stay open) on No.
bool ConfirmSearchCancel(IDialogs& dialogs, const TStringTable& texts);

}  // namespace bootdisk
