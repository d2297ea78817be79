// SPDX-License-Identifier: GPL-3.0-or-later
// mkpayload as the build runs it, and the demo payload it packs, checked with dosfstools and
// mtools.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "base/Bytes.h"
#include "base/Streams.h"
#include "image/userData.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::HasSubstr;
using test::Quoted;
using test::RunCommand;
using test::TTempDir;
namespace fs = std::filesystem;

// dosfstools lives in sbin, which is not on every user's PATH.
std::string SystemTool(const std::string& name) {
    for (const char* dir : {"/usr/sbin/", "/sbin/"})
        if (fs::exists(dir + name)) return dir + name;
    return name;
}

std::string Mkpayload(const std::string& arguments) {
    return Quoted(test::BinPath("mkpayload")) + " " + arguments;
}

void Put(const TTempDir& dir, const std::string& relative, const std::string& text) {
    fs::create_directories(fs::path(dir / relative).parent_path());
    test::WriteFile(dir / relative, Bytes(text.begin(), text.end()));
}

TExeDataBase LoadContainer(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    TSpanStream source(bytes);
    TExeDataBase collection;
    collection.LoadFromStream(source);
    return collection;
}

std::string Text(const TExeData& item) {
    const auto bytes = item.Data.Bytes();
    return {bytes.begin(), bytes.end()};
}

TEST(Mkpayload, PacksReservedItemsFirstThenFilesInByteOrder) {
    TTempDir work;
    Bytes everyByte(256);
    std::iota(everyByte.begin(), everyByte.end(), std::uint8_t(0));
    Put(work, "in/ZETA.TXT", "zeta");
    Put(work, "in/alpha.txt", "lower case sorts after upper");
    Put(work, "in/A.TXT", "");
    Put(work, "in/A/X.TXT", "dot before backslash");
    Put(work, "in/A_B.TXT", "underscore after backslash");
    fs::create_directories(work / "in/EMPTY");
    test::WriteFile(work / "in/A/BYTES.BIN", everyByte);
    Put(work, "boot.img", "boot");
    Put(work, "record.img", "record");

    std::string output;
    ASSERT_EQ(RunCommand(Mkpayload("pack " + Quoted(work / "out.pak") + " " + Quoted(work / "in") +
                                   " --bootrecord " + Quoted(work / "record.img") + " --boot " +
                                   Quoted(work / "boot.img")),
                         &output),
              0)
        << output;
    ASSERT_EQ(RunCommand(Mkpayload("list " + Quoted(work / "out.pak")), &output), 0) << output;
    EXPECT_EQ(output,
              "1\t.BOOT\t4\n"
              "1\t.BOOTRECORD\t6\n"
              "1\tA.TXT\t0\n"
              "1\tA\\BYTES.BIN\t256\n"
              "1\tA\\X.TXT\t20\n"
              "1\tA_B.TXT\t26\n"
              "1\tZETA.TXT\t4\n"
              "1\talpha.txt\t28\n");

    const auto bytes = ReadWholeFile(work / "out.pak");
    ASSERT_GE(bytes.size(), 9u);
    EXPECT_EQ(bytes[0], 1);
    auto collection = LoadContainer(work / "out.pak");
    EXPECT_EQ(GetLE32(bytes.data() + 1), GetLE32(bytes.data() + 5));  // stored = decoded length
    ASSERT_EQ(collection.Count(), 8);
    EXPECT_EQ(Text(collection.Items()[0]), "boot");
    EXPECT_EQ(Text(collection.Items()[4]), "dot before backslash");
    ASSERT_NE(collection.Find("a\\bytes.bin", 1), nullptr);
    EXPECT_TRUE(std::ranges::equal(collection.Find("a\\bytes.bin", 1)->Bytes(), everyByte));
    EXPECT_FALSE(fs::exists(work / "out.pak.tmp"));
}

TEST(Mkpayload, RefusesWhatA144FloppyCannotHold) {
    struct TCase {
        const char* Setup;  // shell commands run inside the input folder
        std::vector<const char*> Named;
    };
    const std::vector<TCase> cases = {
        {"touch LONGNAME1.TXT", {"LONGNAME1.TXT", "8.3"}},
        {"touch FILE.TEXT", {"FILE.TEXT"}},
        {"touch A.B.C", {"A.B.C"}},
        {"touch 'two words.txt'", {"two words.txt"}},
        {"touch .hidden", {".hidden"}},
        {"touch NOEXT.", {"NOEXT."}},
        {"touch 'PLUS+.TXT'", {"PLUS+.TXT"}},
        {"touch $'\\xc3\\xa9T.TXT'", {"T.TXT"}},
        {"mkdir 'Long Folder' && touch 'Long Folder/OK.TXT'", {"Long Folder"}},
        {"mkdir SUB && touch SUB/FINE.TXT SUB/NOT_OK_NAME.TXT", {"SUB\\NOT_OK_NAME.TXT"}},
        {"touch readme.txt README.TXT", {"README.TXT and readme.txt", "same 8.3 entry"}},
        {"mkdir -p Data/X && touch DATA", {"DATA and Data"}},
        {"touch REAL.TXT && ln -s REAL.TXT LINK.TXT", {"LINK.TXT", "symbolic link"}},
        {"mkfifo PIPE", {"PIPE", "not a plain file"}},
        {"touch con.txt", {"con.txt", "DOS device name"}},
        {"mkdir LPT1 && touch LPT1/A.TXT", {"LPT1", "DOS device name"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Setup);
        TTempDir work;
        fs::create_directories(work / "in");
        ASSERT_EQ(RunCommand("cd " + Quoted(work / "in") + " && touch GOOD.TXT && " + c.Setup), 0);
        std::string output;
        const auto pack = Mkpayload("pack " + Quoted(work / "out.pak") + " " + Quoted(work / "in"));
        EXPECT_NE(RunCommand(pack, &output), 0);
        for (const char* text : c.Named) EXPECT_THAT(output, HasSubstr(text));
        EXPECT_THAT(output, testing::Not(HasSubstr("GOOD.TXT")));
        EXPECT_FALSE(fs::exists(work / "out.pak"));
        EXPECT_FALSE(fs::exists(work / "out.pak.tmp"));
    }
}

TEST(Mkpayload, ReportsMissingInputsAndDamagedContainers) {
    TTempDir work;
    fs::create_directories(work / "in");
    std::string output;
    EXPECT_NE(RunCommand(Mkpayload("pack " + Quoted(work / "out.pak") + " " + Quoted(work / "in") +
                                   " --boot " + Quoted(work / "none.img")),
                         &output),
              0);
    EXPECT_THAT(output, HasSubstr("none.img"));
    EXPECT_FALSE(fs::exists(work / "out.pak"));

    test::WriteFile(work / "bad.pak", {0, 100, 0, 0, 0, 1, 0, 0, 0});
    output.clear();
    EXPECT_EQ(RunCommand(Mkpayload("list " + Quoted(work / "bad.pak")), &output), 1);
    EXPECT_THAT(output, HasSubstr("The payload is damaged"));

    output.clear();
    EXPECT_EQ(RunCommand(Mkpayload("pack " + Quoted(work / "out.pak")), &output), 2);
    EXPECT_THAT(output, HasSubstr("usage"));
}

// The standard 1.44 MB boot parameter block, by its offsets in the boot sector.
void ExpectStandardFloppy(const Bytes& image, const std::string& label) {
    ASSERT_EQ(image.size(), 1'474'560u);
    const auto* boot = image.data();
    EXPECT_EQ(GetLE16(boot + 11), 512);    // bytes per sector
    EXPECT_EQ(boot[13], 1);                // sectors per cluster
    EXPECT_EQ(GetLE16(boot + 14), 1);      // reserved sectors
    EXPECT_EQ(boot[16], 2);                // FATs
    EXPECT_EQ(GetLE16(boot + 17), 224);    // root entries
    EXPECT_EQ(GetLE16(boot + 19), 2880);   // sectors
    EXPECT_EQ(boot[21], 0xF0);             // media
    EXPECT_EQ(GetLE16(boot + 22), 9);      // sectors per FAT
    EXPECT_EQ(GetLE16(boot + 24), 18);     // sectors per track
    EXPECT_EQ(GetLE16(boot + 26), 2);      // heads
    EXPECT_EQ(std::string(boot + 43, boot + 54), label);
    EXPECT_EQ(std::string(boot + 54, boot + 62), "FAT12   ");
    EXPECT_EQ(GetLE16(boot + 510), 0xAA55);
}

TEST(DemoPayload, HoldsTheBootDiskItemsAndTwoSoundFloppies) {
    auto collection = LoadContainer(test::BinPath("../payload/demo.pak"));
    std::vector<std::string> names;
    for (const auto& item : collection.Items()) {
        EXPECT_EQ(item.Kind, 1) << item.Name;
        names.push_back(item.Name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         ".BOOT", ".BOOTRECORD", "AUTOEXEC.BAT", "Korvane\\DATA\\CTMOUSE.EXE",
                         "Korvane\\DATA\\KORVANE.INI", "Korvane\\DATA\\METHODS.TXT",
                         "Korvane\\Korvane.exe", "Korvane\\README.TXT"}));
    EXPECT_THAT(Text(collection.Items()[7]), HasSubstr("not included"));

    TTempDir work;
    for (const auto& [item, label] : {std::pair{".BOOT", "NO NAME    "},
                                      std::pair{".BOOTRECORD", "DSKSANIT   "}}) {
        SCOPED_TRACE(item);
        auto* stream = collection.Find(item, 1);
        ASSERT_NE(stream, nullptr);
        const Bytes image(stream->Bytes().begin(), stream->Bytes().end());
        ExpectStandardFloppy(image, label);
        const auto path = work / (std::string(item + 1) + ".img");
        test::WriteFile(path, image);
        std::string output;
        EXPECT_EQ(RunCommand(SystemTool("fsck.fat") + " -n " + Quoted(path), &output), 0) << output;
        output.clear();
        EXPECT_EQ(RunCommand("mdir -i " + Quoted(path) + " ::", &output), 0) << output;
    }
    std::string label;
    EXPECT_EQ(RunCommand("mlabel -s -i " + Quoted(work / "BOOTRECORD.img") + " ::", &label), 0);
    EXPECT_THAT(label, HasSubstr("DSKSANIT"));
}

}  // namespace
}  // namespace bootdisk
