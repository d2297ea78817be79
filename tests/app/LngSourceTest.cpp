// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LngSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/Text.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

int FailingLine(std::string_view source, std::string* message = nullptr) {
    try {
        ParseLngSource(source);
    } catch (const ELngSourceError& error) {
        if (message) *message = error.what();
        return error.Line();
    }
    return 0;
}

TEST(LngSource, ShippedSourceHoldsExactlyTheBuiltInTable) {
    const auto bytes = test::ReadData("../../lang/quellmark.txt");
    const auto entries = ParseLngSource({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    std::map<std::string, std::string> source;
    for (const auto& entry : entries) source[entry.Key] = Cp1252ToUtf8(entry.Text);
    std::map<std::string, std::string> builtIn;
    const TStringTable table;
    table.ForEachEntry([&](std::string_view key, const std::string& text) { builtIn[std::string(key)] = text; });
    EXPECT_EQ(source, builtIn);
}

// "%1", "%s" in their order: a value the English text shows that a translation lost.
std::vector<std::string> Placeholders(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t at = text.find('%'); at != std::string::npos && at + 1 < text.size(); at = text.find('%', at + 2))
        found.push_back(text.substr(at, 2));
    std::sort(found.begin(), found.end());
    return found;
}

// Every entry translated, with the values it shows and the space before a value joined to it.
TEST(LngSource, GermanSourceHoldsEveryEntryWithItsValues) {
    const auto bytes = test::ReadData("../../lang/quellmark.de.txt");
    std::map<std::string, std::string> german;
    for (const auto& entry : ParseLngSource({reinterpret_cast<const char*>(bytes.data()), bytes.size()}))
        german[entry.Key] = entry.Text;
    std::size_t entries = 0;
    const TStringTable table;
    table.ForEachEntry([&](std::string_view key, const std::string& text) {
        ++entries;
        const auto found = german.find(std::string(key));
        if (found == german.end()) return ADD_FAILURE() << key << " is not translated";
        EXPECT_EQ(Placeholders(found->second), Placeholders(text)) << key;
        EXPECT_EQ(found->second.ends_with(' '), text.ends_with(' ')) << key;
        EXPECT_EQ(found->second.empty(), text.empty()) << key;
    });
    EXPECT_EQ(german.size(), entries);
}

TEST(LngSource, ConvertsUtf8AndEscapesToWindows1252) {
    const auto entries = ParseLngSource(
        "# comment\r\n\n  PRODUCTTXT = \"Q\xE2\x84\xA2 \xC2\xA9 \xE2\x82\xAC\"\r\n"
        "GUI_CONFIGKEY\t=\t\"a\\\\b\\rc \\\"d\\\" \"  \n"
        "GUI_POPUPHELP(4) = \"\"");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Text, "Q\x99 \xA9 \x80");
    EXPECT_EQ(entries[0].Line, 3);
    EXPECT_EQ(entries[1].Text, "a\\b\rc \"d\" ");
    EXPECT_EQ(entries[2].Key, "GUI_POPUPHELP(4)");
    EXPECT_EQ(entries[2].Text, "");
}

TEST(LngSource, RejectsFaultsNamingTheLine) {
    std::string message;
    EXPECT_EQ(FailingLine("GUI_NEXT = \"a\"\nGUI_BACK \"b\"", &message), 2);
    EXPECT_EQ(FailingLine("\n\nGUI_NEXT = \"a\\t\"", &message), 3);
    EXPECT_NE(message.find("unknown escape \\t"), std::string::npos) << message;
    EXPECT_EQ(FailingLine("GUI_NEXT = \"\xE2\x86\x92\"", &message), 1);  // U+2192
    EXPECT_NE(message.find("U+2192 is not in Windows-1252"), std::string::npos) << message;
    EXPECT_EQ(FailingLine("GUI_NEXT = \"\xEF\xBF\xBD\""), 1);  // the replacement character itself
    EXPECT_EQ(FailingLine("GUI_NEXT = \"\xC3\""), 1);           // cut sequence
    EXPECT_EQ(FailingLine("GUI_NEXT = \"\xC0\xAE\""), 1);       // overlong
    EXPECT_EQ(FailingLine("GUI_NEXT = \"a\tb\""), 1);
    EXPECT_EQ(FailingLine("GUI_NEXT = \"open"), 1);
    EXPECT_EQ(FailingLine("GUI_NEXT = \"a\" b"), 1);
    EXPECT_EQ(FailingLine("gui_next = \"a\""), 1);
    EXPECT_EQ(FailingLine("GUI-NEXT = \"a\""), 1);
    EXPECT_EQ(FailingLine("GUI_NEXT = \"a\"\n# x\nGUI_NEXT = \"b\"", &message), 3);
    EXPECT_NE(message.find("first on line 1"), std::string::npos) << message;
}

TEST(LngSource, LanguageListIsSortedByUnsignedBytesWithFileKeys) {
    const auto list = MakeLanguageList(ParseLngSource("GUI_NEXT = \"n\"\nGENERIC_OK = \"o\"\nGUI_NEXT2 = \"x\""));
    ASSERT_TRUE(list.Sorted);
    ASSERT_EQ(list.Items.size(), 3u);
    EXPECT_EQ(list.Items[0].Key, "QUELLMARK_INSTALL.GENERIC_OK");
    EXPECT_EQ(list.Items[1].Key, "QUELLMARK_INSTALL.GUI_NEXT");
    EXPECT_EQ(list.Items[2].Key, "QUELLMARK_INSTALL.GUI_NEXT2");
}

}  // namespace
}  // namespace bootdisk
