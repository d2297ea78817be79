// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/DirectWriters.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace bootdisk {
namespace {

std::string Text(const std::string& path) {
    try {
        const auto bytes = ReadWholeFile(path);
        return std::string(bytes.begin(), bytes.end());
    } catch (const std::exception&) {
        return "<missing>";
    }
}

// A payload of the named empty files.
TExeDataBase Payload(const std::vector<std::string>& names) {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> items;
    for (const auto& name : names) items.push_back({name, {}});
    TMemoryStream container(test::StoredContainer(items));
    TExeDataBase payload;
    payload.LoadFromStream(container);
    return payload;
}

TEST(DirectWriters, AutoexecGoesToTheRootWithLongLinesCut) {
    test::TTempDir root;
    const auto drive = CreateHostDriveFiles(root.Path() + "/");
    ASSERT_TRUE(WriteAutoexecBat(*drive, "Running Halvex Quellmark 2005 ...", std::string(300, 'p'), false));
    EXPECT_EQ(Text(root / "Autoexec.bat"),
              "@echo off\r\nprompt $p$g\r\ncd \\Korvane\r\n@echo Running Halvex Quellmark 2005 ...\r\nKorvane " +
                  std::string(247, 'p') + "\r\n");
}

TEST(DirectWriters, IniGoesWhereThePayloadPutsIt) {
    test::TTempDir root;
    const auto drive = CreateHostDriveFiles(root.Path() + "/");
    const auto payload = Payload({"AUTOEXEC.BAT", "Korvane\\DATA\\KORVANE.INI"});
    ASSERT_TRUE(drive->MakeFolder("Korvane\\DATA"));
    ASSERT_TRUE(WriteSanitizerIni(*drive, payload, kDefaultOptions));
    EXPECT_EQ(Text(root / "Korvane/DATA/KORVANE.INI"),
              "O1=1\r\nO2=0\r\nO3=0\r\nO4=1\r\nO5=1\r\nO6=1\r\nO7=0\r\nO8=0\r\nO9=1\r\nO10=0\r\nO11=1\r\nL=0\r\n");
    EXPECT_EQ(SanitizerIniPath(Payload({"A.TXT"})), "Korvane\\Data\\korvane.ini");
}

TEST(DirectWriters, AFileThatCannotBeWrittenGivesFalse) {
    const auto drive = CreateHostDriveFiles("/nonexistent-folder/");
    EXPECT_FALSE(WriteAutoexecBat(*drive, "x", "", true));
    test::TTempDir root;
    // The folder is expected to exist: the payload copy makes it.
    EXPECT_FALSE(WriteSanitizerIni(*CreateHostDriveFiles(root.Path() + "/"), Payload({}), kDefaultOptions));
}

}  // namespace
}  // namespace bootdisk
