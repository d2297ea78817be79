// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SavedOptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TestSupport.h"

namespace bootdisk {
namespace {

namespace fs = std::filesystem;

const std::string kKey = "Software\\Halvex Labs\\Halvex Quellmark 2005\\Configurations";

class SavedOptions : public testing::Test {
protected:
    std::string IniPath() const { return temp / "Halvex Labs/Halvex Quellmark 2005/Configurations.ini"; }
    void WriteIni(const std::string& text) {
        fs::create_directories(fs::path(IniPath()).parent_path());
        std::ofstream(IniPath(), std::ios::binary) << text;
    }
    std::string ReadIni() const {
        std::ifstream in(IniPath(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    test::TTempDir temp;
    std::unique_ptr<ISettingsStore> store = IniSettings(temp.Path());
};

TEST_F(SavedOptions, NoKeyKeepsTheDefaultsAndSavingCreatesAllTwelveValues) {
    auto states = kDefaultOptions;
    LoadOptions(*store, kKey, states);
    EXPECT_EQ(states, kDefaultOptions);

    states[1] = true;
    states[11] = true;
    ASSERT_TRUE(SaveOptions(*store, kKey, states));
    EXPECT_EQ(ReadIni(),
              "[Configurations]\nopt0=1\nopt1=1\nopt10=1\nopt11=1\nopt2=0\nopt3=1\nopt4=1\nopt5=1\nopt6=0\n"
              "opt7=0\nopt8=1\nopt9=0\n");
    auto loaded = kDefaultOptions;
    LoadOptions(*store, kKey, loaded);
    EXPECT_EQ(loaded, states);
}

TEST_F(SavedOptions, AKeyHoldingOnlyOpt3ZeroUnchecksTheLogOption) {
    WriteIni("[Configurations]\r\nopt3=0\r\n");
    auto states = kDefaultOptions;
    LoadOptions(*store, kKey, states);
    auto expected = kDefaultOptions;
    expected[3] = false;
    EXPECT_EQ(states, expected);
}

TEST_F(SavedOptions, AFileEditedByHandIsReadWithItsMarkAndSpaces) {
    WriteIni("\xEF\xBB\xBFopt0 = 0\r\n  opt3=0  \r\n[Configurations]\nopt11\t=\t1\n");
    auto states = kDefaultOptions;
    LoadOptions(*store, kKey, states);
    auto expected = kDefaultOptions;
    expected[0] = expected[3] = false;
    expected[11] = true;
    EXPECT_EQ(states, expected);
}

TEST_F(SavedOptions, AKeyFromTheLanguageFileStaysInsideTheSettingsFolder) {
    const auto inside = temp / "a/b/inside";
    fs::create_directories(inside);
    const std::string keys[] = {"Software\\..\\..\\climbed", "..\\climbed", "Software\\" + temp / "absolute", ".."};
    const auto insideFolder = fs::path(inside).lexically_normal().generic_string() + "/";
    for (const auto& key : keys) {
        ASSERT_TRUE(SaveOptions(*IniSettings(inside), key, kDefaultOptions)) << key;
        for (const auto& entry : fs::recursive_directory_iterator(temp.Path())) {
            if (entry.is_regular_file()) {
                EXPECT_EQ(entry.path().lexically_normal().generic_string().rfind(insideFolder, 0), 0u) << key;
            }
        }
    }
}

TEST_F(SavedOptions, ValuesOfTheWrongTypeOrADamagedFileKeepTheDefaults) {
    WriteIni("[Configurations]\nopt0=abc\nopt1=7\nopt4=-1\nopt5=\n\x01\x02garbage\nopt9=4294967296\n");
    auto states = kDefaultOptions;
    LoadOptions(*store, kKey, states);
    auto expected = kDefaultOptions;
    expected[1] = true;  // any non-zero integer counts as checked
    EXPECT_EQ(states, expected);
}

TEST_F(SavedOptions, ASaveThatCannotReplaceTheFileFailsAndLeavesNoScratchFile) {
    fs::create_directories(IniPath() + "/occupied");  // a folder where the file belongs
    EXPECT_FALSE(SaveOptions(*store, kKey, kDefaultOptions));
    const auto folder = fs::path(IniPath()).parent_path();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

    test::WriteFile(temp / "blocked", {});
    EXPECT_FALSE(SaveOptions(*IniSettings(temp / "blocked"), kKey, kDefaultOptions));
}

}  // namespace
}  // namespace bootdisk
