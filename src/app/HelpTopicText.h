// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A help topic as plain text, for a wizard whose own viewer shows no HTML: where neither the help
// viewer nor anything else opens the topic file, its words are still readable.
#include <string>
#include <string_view>

namespace bootdisk {

struct THelpTopicText {
    std::string title;  // the page's <title>
    std::string text;   // paragraphs apart by a blank line, list items led by "- "
};

// html in UTF-8, as ReadViewerText gives it; the text comes in UTF-8 too, with its character
// references decoded.
THelpTopicText HelpTopicText(std::string_view html);

}  // namespace bootdisk
