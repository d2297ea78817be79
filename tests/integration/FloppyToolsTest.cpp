// SPDX-License-Identifier: GPL-3.0-or-later
// Images built by the floppy layer, checked with dosfstools and mtools.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "image/FloppyFiles.h"
#include "image/FloppyTestImage.h"

namespace bootdisk {
namespace {

using namespace bootdisk::test;

const std::string kMtools = "MTOOLS_SKIP_CHECK=1 ";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::uint8_t> Bytes(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed;
    for (auto& b : bytes) b = std::uint8_t((state = state * 1103515245 + 12345) >> 16);
    return bytes;
}

class FloppyTools : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"mkfs.fat", "fsck.fat", "mdir", "mcopy"})
            if (RunCommand(kToolPath + "command -v " + tool) != 0)
                GTEST_SKIP() << tool << " is not installed; scripts/setup installs dosfstools and mtools";
        ASSERT_TRUE(LoadBlankFloppy(floppy));
    }

    // Opens path ("\"-separated below the root), making missing levels.
    TFloppyDirectory Directory(const std::string& path) {
        TFloppyDirectory dir(floppy);
        std::stringstream levels(path);
        for (std::string level; std::getline(levels, level, '\\');)
            if (!level.empty() && !dir.ChangeDir(level)) {
                EXPECT_TRUE(dir.MakeDir(level)) << level;
                EXPECT_TRUE(dir.ChangeDir(level)) << level;
            }
        return dir;
    }

    // Adds a file at "DIR\SUB\NAME.EXT" and remembers its bytes under its mtools path.
    void Add(const std::string& path, std::vector<std::uint8_t> data) {
        const auto split = path.rfind('\\');
        auto dir = Directory(split == std::string::npos ? "" : path.substr(0, split));
        auto file = dir.CreateFile(split == std::string::npos ? path : path.substr(split + 1));
        ASSERT_TRUE(file) << path;
        ASSERT_EQ(file->Write(data.data(), data.size()), data.size()) << path;
        std::string toolPath = "::/" + path;
        for (auto& c : toolPath)
            if (c == '\\') c = '/';
        files[toolPath] = std::move(data);
    }

    std::string Save() {
        const std::string path = temp / ("floppy" + std::to_string(saves++) + ".img");
        WriteFile(path, {floppy.Image().begin(), floppy.Image().end()});
        return path;
    }

    static void ExpectFsckClean(const std::string& image) {
        std::string output;
        EXPECT_EQ(RunCommand(kToolPath + "fsck.fat -n " + image, &output), 0) << output;
        // Only the version line and the summary line.
        const auto lines = Lines(output);
        EXPECT_TRUE(lines.size() == 2 && lines[1].find(" files, ") != std::string::npos &&
                    lines[1].ends_with("/2847 clusters"))
            << output;
    }

    void ExpectToolsReadEveryFile(const std::string& image) {
        for (const auto& [path, data] : files) {
            const std::string copy = temp / "copy.bin";
            std::string output;
            ASSERT_EQ(RunCommand(kMtools + "mcopy -n -o -i " + image + " " + path + " " + copy, &output), 0)
                << path << ": " << output;
            EXPECT_EQ(ReadWholeFile(copy), data) << path;
        }
    }

    static std::string Listing(const std::string& image, const std::string& dir) {
        std::string output;
        EXPECT_EQ(RunCommand(kMtools + "mdir -i " + image + " " + dir, &output), 0) << output;
        return output;
    }

    static void ExpectListed(const std::string& listing, const std::string& name, const std::string& ext,
                             const std::string& size) {
        std::vector<std::string> wanted = {name, ext, size};
        if (ext.empty()) wanted.erase(wanted.begin() + 1);
        bool found = false;
        for (const auto& line : Lines(listing)) {
            std::istringstream words(line);
            std::vector<std::string> first(wanted.size());
            for (auto& word : first) words >> word;
            found = found || first == wanted;
        }
        EXPECT_TRUE(found) << name << "." << ext << " " << size << " in\n" << listing;
    }

    TVirtualFloppy floppy;
    TTempDir temp;
    std::map<std::string, std::vector<std::uint8_t>> files;
    int saves = 0;
};

TEST_F(FloppyTools, TreeOfFilesAndDirectoriesIsASoundFat12Disk) {
    TSourceDateEpoch fixed("1700000000");  // 2023-11-14 22:13:20 UTC
    Add("EMPTY.TXT", {});
    Add("ONE.BIN", Bytes(1, 1));
    Add("S512.BIN", Bytes(512, 2));
    Add("S513.BIN", Bytes(513, 3));
    Add("BIG.DAT", Bytes(100 * 1024, 4));
    Add("AUTOEXEC.BAT", {'@', 'E', 'C', 'H', 'O', ' ', 'O', 'F', 'F', '\r', '\n'});
    Add("KORVANE\\SANIT.EXE", Bytes(30000, 5));
    Add("KORVANE\\DATA\\KORVANE.INI", Bytes(700, 6));
    for (int i = 0; i < 40; ++i)  // 42 entries with "." and "..": three directory clusters
        Add("MANY\\F" + std::to_string(i) + ".TXT", Bytes(std::size_t(i * 37), std::uint8_t(i)));

    const std::string image = Save();
    ExpectFsckClean(image);
    ExpectToolsReadEveryFile(image);

    const std::string root = Listing(image, "::/");
    ExpectListed(root, "EMPTY", "TXT", "0");
    ExpectListed(root, "ONE", "BIN", "1");
    ExpectListed(root, "S512", "BIN", "512");
    ExpectListed(root, "S513", "BIN", "513");
    ExpectListed(root, "BIG", "DAT", "102400");
    ExpectListed(root, "KORVANE", "", "<DIR>");
    EXPECT_NE(root.find("2023-11-14  22:13"), std::string::npos) << root;
    ExpectListed(Listing(image, "::/KORVANE/DATA"), "KORVANE", "INI", "700");
    const std::string many = Listing(image, "::/MANY");
    ExpectListed(many, "F39", "TXT", "1443");
    EXPECT_NE(many.find("42 files"), std::string::npos) << many;

}

TEST_F(FloppyTools, SameInputsGiveTheSameImage) {
    TSourceDateEpoch fixed("1700000000");
    const auto build = [this] {
        ASSERT_TRUE(LoadBlankFloppy(floppy));
        Add("A\\B\\C.TXT", Bytes(2000, 1));
        Add("D.BIN", Bytes(600, 2));
    };
    build();
    const std::vector<std::uint8_t> first(floppy.Image().begin(), floppy.Image().end());
    build();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), floppy.Image().begin()));
}

TEST_F(FloppyTools, FullDiskStaysSound) {
    TFloppyDirectory root(floppy);
    ASSERT_TRUE(root.MakeDir("SUB"));
    auto huge = root.CreateFile("HUGE.BIN");
    ASSERT_TRUE(huge);
    const auto data = Bytes(1500 * 1024, 7);
    const std::size_t written = huge->Write(data.data(), data.size());
    EXPECT_EQ(written, 2846u * 512);
    auto none = root.CreateFile("NONE.BIN");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->Write(data.data(), 100), 0u);
    EXPECT_FALSE(root.MakeDir("NODIR"));
    files["::/HUGE.BIN"].assign(data.begin(), data.begin() + std::ptrdiff_t(written));
    files["::/NONE.BIN"] = {};

    const std::string image = Save();
    ExpectFsckClean(image);
    ExpectToolsReadEveryFile(image);
    EXPECT_NE(Listing(image, "::/").find(" 0 bytes free"), std::string::npos);
}

TEST_F(FloppyTools, DeleteFileReplacesAFileWrittenByMtoolsWithItsLongName) {
    const std::string source = temp / "Long File Name.txt";
    WriteFile(source, Bytes(3000, 8));
    const std::string before = Save();
    std::string output;
    ASSERT_EQ(RunCommand(kMtools + "mcopy -i " + before + " '" + source + "' ::/", &output), 0) << output;
    ASSERT_NE(Listing(before, "::/").find("LONGFI~1 TXT"), std::string::npos);
    const auto withLongName = ReadWholeFile(before);
    TSpanStream stream(withLongName);
    ASSERT_EQ(floppy.LoadFromStream(stream, stream.Size()), stream.Size());

    TFloppyDirectory root(floppy);
    EXPECT_TRUE(root.DeleteFile("longfi~1.txt"));
    EXPECT_FALSE(root.DeleteFile("LONGFI~1.TXT"));
    Add("LONGFI~1.TXT", Bytes(700, 9));

    const std::string after = Save();
    ExpectFsckClean(after);
    ExpectToolsReadEveryFile(after);
    const std::string listing = Listing(after, "::/");
    EXPECT_EQ(listing.find("Long File Name"), std::string::npos) << listing;
    ExpectListed(listing, "LONGFI~1", "TXT", "700");
}

}  // namespace
}  // namespace bootdisk
