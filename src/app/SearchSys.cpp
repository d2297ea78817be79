// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SearchSys.h"

namespace bootdisk {

std::optional<std::string> AcceptSystemFolder(const IHostSystem& host, std::string folder) {
    if (folder.empty()) return std::nullopt;
    if (folder.back() != host.PathSeparator()) folder += host.PathSeparator();
    if (!host.FindFile(folder + "Io.Sys") || !host.FindFile(folder + "command.com")) return std::nullopt;
    return folder;
}

bool ConfirmSearchCancel(IDialogs& dialogs, const TStringTable& texts) {
    return dialogs.AskTwoChoices(texts[StrId::SEARCHSYS_ARE_U_SURE], texts[StrId::GENERIC_YES],
                                 texts[StrId::GENERIC_NO], TDefaultChoice::Left) == kAnswerLeft;
}

}  // namespace bootdisk
