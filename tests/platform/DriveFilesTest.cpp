// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DriveFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace bootdisk {
namespace {

TEST(StaysBelowRoot, RefusesEveryWayOut) {
    for (const char* inside : {"A.TXT", "Korvane\\DATA\\KORVANE.INI", "Korvane/Data/x", "a..b\\c.d", ".hidden"})
        EXPECT_TRUE(StaysBelowRoot(inside)) << inside;
    for (const char* outside : {"", "..", "..\\x", "Korvane\\..\\..\\x", "a/../b", "\\x", "/etc/passwd", "C:\\x",
                                "C:x", "a\\.\\b", "a\\...\\b", "a\\. .\\b", "a\\\\b", "a\\"})
        EXPECT_FALSE(StaysBelowRoot(outside)) << outside;
}

TEST(HostDriveFiles, FoldersAndFilesStayUnderTheRoot) {
    test::TTempDir dir;
    std::filesystem::create_directory(dir / "root");
    const auto files = CreateHostDriveFiles(dir / "root/");
    ASSERT_TRUE(files->MakeFolder("Korvane\\DATA"));
    TMemoryStream first(std::vector<std::uint8_t>(100, 'a'));
    ASSERT_TRUE(files->CreateFile("Korvane\\DATA\\KORVANE.INI", first));
    TMemoryStream second(std::vector<std::uint8_t>{'b'});
    ASSERT_TRUE(files->CreateFile("Korvane\\DATA\\KORVANE.INI", second));
    EXPECT_EQ(ReadWholeFile(dir / "root/Korvane/DATA/KORVANE.INI"), std::vector<std::uint8_t>{'b'});

    TMemoryStream escape(std::vector<std::uint8_t>{'x'});
    EXPECT_FALSE(files->CreateFile("..\\ESCAPE.TXT", escape));
    EXPECT_FALSE(files->MakeFolder("..\\OUT"));
    EXPECT_FALSE(std::filesystem::exists(dir / "ESCAPE.TXT"));
    EXPECT_FALSE(std::filesystem::exists(dir / "OUT"));
    EXPECT_FALSE(files->CreateFile("MISSING\\X.TXT", escape));
}

}  // namespace
}  // namespace bootdisk
