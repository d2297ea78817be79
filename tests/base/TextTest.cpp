// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Text.h"

#include <gtest/gtest.h>

namespace bootdisk {
namespace {

TEST(Text, Cp1252RoundTripsThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) all += char(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Cp1252ToUtf8("Quellmark\x99"), "Quellmark\xE2\x84\xA2");
    EXPECT_EQ(Utf8ToCp1252("\xE2\x84\xA2 \xC3\xA9 \xE2\x82\xAC"), "\x99 \xE9 \x80");
    // The texts' lone CR breaks a line as CR LF does, for a toolkit or a terminal.
    EXPECT_EQ(WithLineFeeds("a\rb\r\nc\r\rd\n"), "a\nb\nc\n\nd\n");
}

TEST(Text, Utf8ToCp1252MarksWhatItCannotHold) {
    EXPECT_EQ(Utf8ToCp1252("\xE2\x86\x92"), "?");            // an arrow has no Windows-1252 byte
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80x"), "?x");      // outside the basic plane
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");                  // cut short
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF\xE0\x81\x81"), "??");  // overlong forms of "/" and "A"
    EXPECT_EQ(Utf8ToCp1252("\xEF\xBF\xBD"), "?");            // the replacement character itself
}

}  // namespace
}  // namespace bootdisk
