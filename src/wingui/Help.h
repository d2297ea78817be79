// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help topics: in the HTML Help viewer from "quellmark.chm" beside the executable when it is
// there, else the topic files of the help folder beside it in the shell's viewer (and where
// nothing opens those, the wizard's own plain viewer). The files beside the executable
// ("info.url", "license.txt", "gpl-3.0.txt") open with the shell.
#include <windows.h>

#include <optional>
#include <string>

namespace bootdisk::win {

class THelp {
public:
    void SetOwner(HWND owner) { owner_ = owner; }

    // Each answers nothing when it opened, else the file that nothing could open.
    std::optional<std::string> OpenKeyword(const std::string& keyword) const;
    std::optional<std::string> OpenContents() const;
    std::optional<std::string> OpenFile(const std::string& name) const;

    // The file of a topic by keyword, or of the contents for an empty keyword.
    static std::string TopicFile(const std::string& keyword);

private:
    bool OpenInViewer(const std::string& topic, UINT command) const;

    HWND owner_ = nullptr;
};

}  // namespace bootdisk::win
