// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "app/StrBase.h"
#include "base/Text.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

std::string Mklng(const std::string& source, const std::string& output, int* status) {
    std::string log;
    *status = test::RunCommand(test::BinPath("mklng") + " '" + source + "' '" + output + "'", &log);
    return log;
}

void WriteText(const std::string& path, const std::string& text) {
    test::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(Mklng, BuiltLanguageFileLoadsAsTheDefaults) {
    const auto path = test::BinPath("quellmark.lng");
    ASSERT_TRUE(std::filesystem::exists(path)) << "build the language_file target";
    TFileStream file(path, FileMode::Read);
    const auto list = ReadLanguageFile(file);
    ASSERT_TRUE(list.Sorted);
    for (std::size_t i = 1; i < list.Items.size(); ++i)
        EXPECT_TRUE(KeyLess(list.Items[i - 1].Key, list.Items[i].Key)) << list.Items[i].Key;

    // Every entry is present with exactly its default (in the file's Windows-1252), and the file
    // holds nothing else.
    const TStringTable defaults;
    std::size_t entries = 0;
    defaults.ForEachEntry([&](std::string_view key, const std::string& text) {
        ++entries;
        EXPECT_EQ(Cp1252ToUtf8(list.Lookup(kLngSection, key, "<missing>")), text) << key;
    });
    EXPECT_EQ(list.Items.size(), entries);

    TStringTable loaded;
    LoadStringTable(loaded, path);
    EXPECT_EQ(loaded[StrId::PRODUCTTXT], "Halvex Quellmark 2005\u2122");
}

TEST(Mklng, TranslatedSourceReplacesOnlyItsEntries) {
    test::TTempDir dir;
    WriteText(dir / "de.txt", "# Deutsch\nGUI_NEXT = \"Weiter\"\nGUI_POPUPHELP(7) = \"\xC3\x9C\x62\x65r\"\n");
    int status = -1;
    const auto log = Mklng(dir / "de.txt", dir / "quellmark.lng", &status);
    ASSERT_EQ(status, 0) << log;
    TStringTable table;
    LoadStringTable(table, dir / "quellmark.lng");
    EXPECT_EQ(table[StrId::GUI_NEXT], "Weiter");
    EXPECT_EQ(table.PopupHelp(7), "\u00DCber");
    EXPECT_EQ(table[StrId::GUI_BACK], "Back");
}

// The user's language picks the German file; the "C" locale, English and a language without a file
// take the English one; a code is taken in any case, with a region or without; a language asked
// for by name that does not ship is an error naming its file and where it was looked for.
TEST(Mklng, TheUsersLanguageChoosesTheShippedFile) {
    const auto payload = [](const std::string& environment, const std::string& arguments, int* status = nullptr) {
        std::string output;
        const int code = test::RunCommand("env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG " + environment + " " +
                                              test::Quoted(test::BinPath("bootdisk")) + " payload " + arguments + " 2>&1",
                                          &output);
        if (status) *status = code;
        return output;
    };
    const auto german = "Language file: " + test::BinPath("quellmark.de.lng") + "\n";
    const auto english = "Language file: " + test::BinPath("quellmark.lng") + "\n";
    EXPECT_NE(payload("LANG=de_AT.UTF-8", "").find(german), std::string::npos);
    EXPECT_NE(payload("LANGUAGE=fr:de LC_MESSAGES=de_DE.UTF-8 LANG=en_US.UTF-8", "").find(german), std::string::npos);
    EXPECT_NE(payload("LANGUAGE=de LC_ALL=C", "").find(english), std::string::npos);
    EXPECT_NE(payload("LANG=fr_FR.UTF-8", "").find(english), std::string::npos);
    EXPECT_NE(payload("LANG=de_DE.UTF-8", "--language en").find(english), std::string::npos);
    EXPECT_NE(payload("LANG=C", "--language=de").find(german), std::string::npos);
    for (const char* code : {"DE", "de_DE", "de-AT", "De_at"})
        EXPECT_NE(payload("LANG=C", std::string("--language ") + code).find(german), std::string::npos) << code;
    EXPECT_NE(payload("LANG=de_DE.UTF-8", "--language EN_us").find(english), std::string::npos);
    int status = 0;
    const auto missing = payload("LANG=de_DE.UTF-8", "--language FR", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(missing.find("The language file quellmark.fr.lng is missing: it is looked for in " +
                           test::BinPath("") + " and in "),
              std::string::npos)
        << missing;

    // Where no language file ships at all, the one every start needs is named: the English one,
    // in both folders it is looked for in, whatever the user's language.
    test::TTempDir alone;
    std::filesystem::create_directory(alone / "bin");
    std::filesystem::copy_file(test::BinPath("bootdisk"), alone / "bin/bootdisk");
    std::string output;
    EXPECT_EQ(test::RunCommand("LANG=de_DE.UTF-8 " + test::Quoted(alone / "bin/bootdisk") + " payload", &output), 1);
    EXPECT_NE(output.find("The language file quellmark.lng is missing: it is looked for in " + alone / "bin/" +
                          " and in " + alone / "share/bootdisk/"),
              std::string::npos)
        << output;

    TStringTable table;
    EXPECT_EQ(LoadStringTable(table, test::BinPath("quellmark.de.lng")), "");
    EXPECT_EQ(table[StrId::GUI_BACK], "Zur\u00FCck");
}

TEST(Mklng, MalformedSourceIsRejectedNamingTheLineAndWritesNothing) {
    test::TTempDir dir;
    WriteText(dir / "bad.txt", "GUI_NEXT = \"Weiter\"\n\nGUI_BACK = Zur\xC3\xBC" "ck\n");
    int status = -1;
    const auto log = Mklng(dir / "bad.txt", dir / "out.lng", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(log.find("bad.txt:3:"), std::string::npos) << log;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.lng"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.lng.tmp"));

    const auto missing = Mklng(dir / "none.txt", dir / "out.lng", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(missing.find("none.txt"), std::string::npos) << missing;
}

}  // namespace
}  // namespace bootdisk
