// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelpTopicText.h"

#include <gtest/gtest.h>

#include "app/LicenseText.h"

namespace bootdisk {
namespace {

TEST(HelpTopicText, KeepsTheWordsParagraphsAndItemsOfAPage) {
    const auto topic = HelpTopicText(
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Help &amp; more</title>\n"
        "<style>p { color: red; }</style></head>\n<body><!-- <p>not shown</p> -->\n"
        "<h1>Frequently   asked\nquestions</h1>\n<p>A <b>bold</b> word, &ldquo;quoted&rdquo;, it&#39;s &#x41;.</p>\n"
        "<ul><li>one</li>\n<li>two &rarr; three &minus;1 &unknown; R&amp;D</li></ul>"
        "<table><tr><th>Key</th><th>Meaning</th></tr><tr><td>F1</td><td>help</td></tr></table>"
        "<p>end<br>line</p></body></html>");
    EXPECT_EQ(topic.title, "Help & more");
    EXPECT_EQ(topic.text,
              "Frequently asked questions\n\n"
              "A bold word, \u201Cquoted\u201D, it's A.\n\n"
              "- one\n- two \u2192 three \u22121 &unknown; R&D\n\n"
              "Key Meaning\nF1 help\n\n"
              "end\nline\n");
}

// Every topic that ships reads as text: a title, and no markup left.
TEST(HelpTopicText, ReadsTheTopicsThatShip) {
    const auto html = ReadViewerText(BOOTDISK_TEST_DATA "/../../help/topics/FAQ.htm");
    ASSERT_TRUE(html);
    const auto topic = HelpTopicText(*html);
    EXPECT_EQ(topic.title, "Frequently asked questions - Halvex Quellmark 2005 boot disk creator");
    EXPECT_EQ(topic.text.find('<'), std::string::npos);
    EXPECT_NE(topic.text.find("\n\nMy writer is not in the list.\n\nOnly drives"), std::string::npos);
}

}  // namespace
}  // namespace bootdisk
