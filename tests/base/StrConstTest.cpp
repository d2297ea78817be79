// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/StrConst.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace bootdisk {
namespace {

// The defaults are written in Windows-1252; the table holds them in UTF-8.
TEST(StrConst, TextsAreUtf8WithLoneCrBreaks) {
    const TStringTable table;
    EXPECT_EQ(table[StrId::PRODUCTTXT], "Halvex Quellmark 2005\u2122");
    const auto& page6 = table[StrId::GUI_TEXT1PAGE6];
    EXPECT_EQ(page6.find('\n'), std::string::npos);
    EXPECT_NE(page6.find("disk.\r\rPrepare"), std::string::npos);
    EXPECT_NE(page6.find("chosen.\rYou"), std::string::npos);
    EXPECT_EQ(table[StrId::GUI_CONFIGKEY], "Software\\Halvex Labs\\Halvex Quellmark 2005\\Configurations");
    EXPECT_EQ(table[StrId::GUI_OPERATING_SYSTEM_CD].back(), ' ');
}

TEST(StrConst, IndexedFamilies) {
    const TStringTable table;
    EXPECT_EQ(table.AspiError(0), "No error");
    EXPECT_EQ(table.AspiError(11), "Write error");
    EXPECT_EQ(table.AspiError(14), "Can't close session");
    EXPECT_EQ(table.PopupHelp(1), "Help Contents");
    EXPECT_EQ(table.PopupHelp(8), "Halvex Quellmark 2005 on the Web");
    // A code outside the family must not read past it.
    EXPECT_EQ(table.AspiError(-1), "");
    EXPECT_EQ(table.AspiError(15), "");
    EXPECT_EQ(table.PopupHelp(0), "");
    EXPECT_EQ(table.PopupHelp(9), "");
}

TEST(StrConst, EntriesComeInLoadOrderWithUniqueWellFormedKeys) {
    const TStringTable table;
    std::vector<std::string> keys;
    table.ForEachEntry([&](std::string_view key, const std::string&) { keys.emplace_back(key); });
    ASSERT_EQ(keys.size(), kStrIdCount + 15 + 8);
    EXPECT_EQ(keys.front(), "GENERIC_OK");
    EXPECT_EQ(keys[kStrIdCount], "GUI_TEXTASPIERRORS(0)");
    EXPECT_EQ(keys[kStrIdCount + 14], "GUI_TEXTASPIERRORS(14)");
    EXPECT_EQ(keys[kStrIdCount + 15], "GUI_POPUPHELP(1)");
    EXPECT_EQ(keys.back(), "GUI_POPUPHELP(8)");
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
    for (const auto& key : keys)
        EXPECT_EQ(key.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_()"), std::string::npos) << key;
    EXPECT_EQ(TStringTable::Key(StrId::GUI_NEXT), "GUI_NEXT");
}

}  // namespace
}  // namespace bootdisk
