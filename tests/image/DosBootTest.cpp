// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/DosBoot.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "base/StrConst.h"
#include "image/FloppyFiles.h"
#include "image/FloppyTestImage.h"
#include "platform/sim/ScriptedDialogs.h"
#include "platform/sim/SimHost.h"

namespace bootdisk {
namespace {

using namespace fat12;
using namespace bootdisk::test;
using Bytes = std::vector<std::uint8_t>;
using Reason = TWriteFailure::Reason;
using testing::HasSubstr;

constexpr std::uint32_t kRoot = kRootDirSector;
const std::string kMtools = "MTOOLS_SKIP_CHECK=1 ";
const std::string kMsDosSys = "[Options]\r\nBootGui=0\r\n";

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    std::uint32_t state = seed;
    for (auto& b : bytes) b = std::uint8_t((state = state * 1103515245 + 12345) >> 16);
    return bytes;
}

// A floppy formatted by mkfs.fat, then shaped by mtools commands ("mcopy -i IMG ..."); IMG stands
// for the image and SRC for a scratch file holding "old". Empty when a tool is missing.
Bytes ToolImage(const std::vector<std::string>& commands = {}, const std::string& label = "DSKSANIT") {
    TTempDir dir;
    const auto image = dir / "floppy.img", source = dir / "old.txt";
    WriteFile(source, Text("old"));
    const auto labelOption = label.empty() ? std::string() : " -n " + label;
    if (RunCommand(kToolPath + "mkfs.fat -C " + image +
                   " 1440 -f 2 -r 224 -s 1 -S 512 -M 0xF0 --invariant -i 44534B53" + labelOption) != 0)
        return {};
    for (auto command : commands) {
        for (auto at = command.find("IMG"); at != std::string::npos; at = command.find("IMG"))
            command.replace(at, 3, image);
        for (auto at = command.find("SRC"); at != std::string::npos; at = command.find("SRC"))
            command.replace(at, 3, source);
        if (RunCommand(kMtools + command) != 0) return {};
    }
    return ReadWholeFile(image);
}

// Items view their bytes; these stay for the whole test program.
void AddItem(TExeDataBase& payload, const std::string& name, Bytes data, std::uint8_t kind = 1) {
    static std::list<Bytes> kept;
    auto& item = payload.Items().emplace_back();
    item.Kind = kind;
    item.Name = name;
    item.Data = TSpanStream(kept.emplace_back(std::move(data)));
}

struct TEntryInfo {
    std::string name;
    std::uint8_t attributes;
    std::uint16_t cluster;
    std::uint32_t size;
};

// The live entries of the directory at path, labels included, in disk order.
std::vector<TEntryInfo> Listing(TVirtualFloppy& floppy, const std::string& path = "") {
    TFloppyDirectory dir(floppy);
    std::vector<TEntryInfo> entries;
    std::size_t start = 0;
    while (start < path.size()) {
        const auto end = std::min(path.find('\\', start), path.size());
        if (!dir.ChangeDir(path.substr(start, end - start))) return entries;
        start = end + 1;
    }
    TDirEntry entry;
    for (bool found = dir.FindFirst(entry); found; found = dir.FindNext(entry))
        if (entry[kEntryName] != kEntryDeleted)
            entries.push_back({TFloppyDirectory::EntryName(entry), entry[kEntryAttributes],
                               GetLE16(entry.data() + kEntryCluster), GetLE32(entry.data() + kEntryFileSize)});
    return entries;
}

std::vector<std::string> Names(TVirtualFloppy& floppy, const std::string& path = "") {
    std::vector<std::string> names;
    for (const auto& entry : Listing(floppy, path)) names.push_back(entry.name);
    return names;
}

// A file's bytes, read along its cluster chain straight from the image.
Bytes FileBytes(TVirtualFloppy& floppy, const std::string& path) {
    const auto split = path.rfind('\\');
    const auto dir = split == std::string::npos ? std::string() : path.substr(0, split);
    const auto name = path.substr(split == std::string::npos ? 0 : split + 1);
    for (const auto& entry : Listing(floppy, dir)) {
        if (entry.name != name) continue;
        Bytes bytes;
        std::uint32_t cluster = entry.cluster;
        for (std::uint32_t guard = 0; bytes.size() < entry.size && cluster >= kFirstCluster && cluster < kFatEndMin &&
                                      guard < kTotalSectors;
             ++guard) {
            const auto sector = SectorBytes(floppy, ClusterSector(cluster));
            bytes.insert(bytes.end(), sector.begin(), sector.end());
            cluster = RawFat(floppy, cluster);
        }
        bytes.resize(entry.size);
        return bytes;
    }
    ADD_FAILURE() << "no file " << path;
    return {};
}

std::string FileText(TVirtualFloppy& floppy, const std::string& path) {
    const auto bytes = FileBytes(floppy, path);
    return {bytes.begin(), bytes.end()};
}

void ExpectFsckClean(TVirtualFloppy& floppy) {
    TTempDir dir;
    WriteFile(dir / "check.img", {floppy.Image().begin(), floppy.Image().end()});
    std::string output;
    EXPECT_EQ(RunCommand(kToolPath + "fsck.fat -n " + (dir / "check.img"), &output), 0) << output;
}

class DosBootTest : public ::testing::Test {
protected:
    void SetUp() override {
        bootRecord = ToolImage();
        if (bootRecord.size() != kImageSize) GTEST_SKIP() << kNoMkfs;
        AddItem(payload, ".BOOTRECORD", bootRecord);
    }

    // A Windows 98 host with its startup-disk files where the system keeps them.
    void Windows98() {
        host.version = {1, 4, 10};
        host.AddFile("C:\\WINDOWS\\Command\\Ebd\\io.sys", ioSys);
        host.environment["COMSPEC"] = "C:\\WINDOWS\\COMMAND.COM";
        host.AddFile("C:\\WINDOWS\\COMMAND.COM", commandCom);
    }
    void SystemFolder() {
        host.AddFile("D:\\DOS\\IO.SYS", ioSys);
        host.AddFile("D:\\DOS\\COMMAND.COM", commandCom);
        dialogs.folderAnswers.push_back("D:\\DOS\\");
    }

    bool MakeSystem() {
        TBootEnv env{host, dialogs};
        return PrepareBootImage(floppy, payload, true, env);
    }

    void ExpectSystemFiles() {
        const auto root = Listing(floppy);
        ASSERT_EQ(root.size(), 4u) << testing::PrintToString(Names(floppy));
        EXPECT_EQ(root[0].name, "DSKSANIT");
        EXPECT_EQ(root[0].attributes, kAttrVolumeLabel);
        EXPECT_EQ(root[1].name, "IO.SYS");
        EXPECT_EQ(root[1].cluster, 2);
        EXPECT_EQ(root[2].name, "COMMAND.COM");
        EXPECT_EQ(root[3].name, "MSDOS.SYS");
        for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(root[i].attributes, 0) << root[i].name;
        EXPECT_EQ(root[3].size, 22u);
        EXPECT_EQ(FileBytes(floppy, "IO.SYS"), ioSys);
        EXPECT_EQ(FileBytes(floppy, "COMMAND.COM"), commandCom);
        EXPECT_EQ(FileText(floppy, "MSDOS.SYS"), kMsDosSys);
        ExpectFsckClean(floppy);
    }

    Bytes Snapshot() const { return {floppy.Image().begin(), floppy.Image().end()}; }

    Bytes bootRecord;
    Bytes ioSys = Pattern(40'000, 1);
    Bytes commandCom = Pattern(93'000, 2);
    TSimHost host;
    TScriptedDialogs dialogs;
    TExeDataBase payload;
    TVirtualFloppy floppy;
};

TEST_F(DosBootTest, HostRouteWritesTheThreeSystemFilesInOrderBehindTheLabel) {
    Windows98();
    // Decoys the locators must not prefer.
    host.AddFile("C:\\io.sys", Pattern(10, 3));
    host.AddFile("C:\\command.com", Pattern(10, 4));
    ASSERT_TRUE(MakeSystem());
    EXPECT_TRUE(dialogs.log.empty());
    ExpectSystemFiles();
}

TEST_F(DosBootTest, HostRouteServesWindows95AndMeAndFallsBackToTheRootOfC) {
    for (const TWinVersion version : {TWinVersion{1, 4, 0}, TWinVersion{1, 4, 90}}) {
        host = TSimHost();
        host.version = version;
        host.AddFile("C:\\IO.SYS", ioSys);
        host.environment["comspec"] = "C:\\MISSING\\COMMAND.COM";
        host.AddFile("C:\\COMMAND.COM", commandCom);
        EXPECT_EQ(LocateIoSys(host), "C:\\io.sys");
        EXPECT_EQ(LocateCommandCom(host), "C:\\command.com");
        ASSERT_TRUE(MakeSystem()) << version.minor;
        ExpectSystemFiles();
    }
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(DosBootTest, Windows98WithoutTheFilesFailsWithoutAskingForAFolder) {
    host.version = {1, 4, 10};
    SystemFolder();
    EXPECT_FALSE(MakeSystem());
    EXPECT_TRUE(dialogs.log.empty());

    // With io.sys but no command.com the disk keeps what was written.
    host.AddFile("C:\\io.sys", ioSys);
    EXPECT_FALSE(MakeSystem());
    EXPECT_TRUE(dialogs.log.empty());
    EXPECT_EQ(Names(floppy), (std::vector<std::string>{"DSKSANIT", "IO.SYS"}));
}

TEST_F(DosBootTest, HostFileThatCannotBeTakenSendsTheUserToTheFolderDialog) {
    // Too large for the staging buffer, and too large for the disk: both fall back to the folder.
    for (const std::size_t size : {std::size_t(2'000'001), std::size_t(1'460'000)}) {
        host = TSimHost();
        Windows98();
        host.AddFile("C:\\WINDOWS\\Command\\Ebd\\io.sys", Pattern(size, 5));
        dialogs = TScriptedDialogs();
        EXPECT_FALSE(MakeSystem()) << size;
        EXPECT_EQ(dialogs.log, std::vector<std::string>{"folder"}) << size;

        SystemFolder();
        ASSERT_TRUE(MakeSystem()) << size;
        ExpectSystemFiles();
    }
}

TEST_F(DosBootTest, WindowsXpTakesTheStartupDiskOfDiskCopyDll) {
    for (const TWinVersion version : {TWinVersion{2, 5, 1}, TWinVersion{2, 5, 2}}) {
        host = TSimHost();
        host.version = version;
        const auto image = ToolImage({"mcopy -i IMG SRC ::/IO.SYS"}, "STARTUP");
        host.AddResource("diskcopy.dll", "#1", "BINFILE", image);
        ASSERT_TRUE(MakeSystem());
        EXPECT_EQ(Snapshot(), image);
    }
    EXPECT_TRUE(dialogs.log.empty());
}

TEST_F(DosBootTest, OtherSystemsAndXpWithoutTheResourceAskForTheFolder) {
    for (const TWinVersion version : {TWinVersion{2, 5, 1}, TWinVersion{2, 5, 0}, TWinVersion{2, 6, 1}}) {
        host = TSimHost();
        host.version = version;
        host.AddResource("DiskCopy.dll", "#2", "BINFILE", Pattern(100, 7));
        dialogs = TScriptedDialogs();
        EXPECT_FALSE(MakeSystem());  // cancelled
        EXPECT_EQ(dialogs.log, std::vector<std::string>{"folder"});

        SystemFolder();
        ASSERT_TRUE(MakeSystem());
        ExpectSystemFiles();
    }
}

TEST_F(DosBootTest, FolderThatLostAFileFails) {
    host.AddFile("D:\\DOS\\IO.SYS", ioSys);
    dialogs.folderAnswers.push_back("D:\\DOS\\");
    EXPECT_FALSE(MakeSystem());
}

TEST_F(DosBootTest, MissingBootImagesFailAndLeaveTheImageAlone) {
    payload = TExeDataBase();
    AddItem(payload, ".BOOTRECORDS", bootRecord);
    AddItem(payload, ".BOOT", bootRecord, 2);
    const auto before = Snapshot();
    TBootEnv env{host, dialogs};
    EXPECT_FALSE(PrepareBootImage(floppy, payload, false, env));
    EXPECT_EQ(Snapshot(), before);

    Windows98();
    EXPECT_FALSE(PrepareBootImage(floppy, payload, true, env));
    EXPECT_EQ(Snapshot(), before);

    host.version = {2, 5, 0};
    SystemFolder();
    EXPECT_FALSE(PrepareBootImage(floppy, payload, true, env));
    EXPECT_EQ(Snapshot(), before);
}

// Images whose layout the file layer does not read (it takes it as given) are refused by name and
// field before anything is written into them.
TEST_F(DosBootTest, BootImagesOfAnotherLayoutAreRefusedNamingTheField) {
    struct TOdd {
        const char* format;  // mkfs.fat arguments
        std::size_t kilobytes;
        const char* says;
    };
    const std::vector<TOdd> cases = {
        {"-s 2", 1440, "sectors per cluster (byte 13) is 2 instead of 1"},
        {"-s 1 -R 2", 1440, "reserved sectors (byte 14) is 2 instead of 1"},
        {"-s 1 -f 1", 1440, "number of FATs (byte 16) is 1 instead of 2"},
        {"-s 4 -F 16", 16384, "it is 16777216 bytes long instead of 1474560"},
        {"-s 1 -r 100", 1440, "root entries (byte 17) is 100"},
        {"", 720, "it is 737280 bytes long instead of 1474560"},
        {"", 2880, "it is 2949120 bytes long instead of 1474560"},
    };
    TBootEnv env{host, dialogs};
    for (const auto& odd : cases) {
        SCOPED_TRACE(odd.format + std::string(" ") + std::to_string(odd.kilobytes));
        TTempDir dir;
        const auto path = dir / "odd.img";
        ASSERT_EQ(RunCommand(kToolPath + "mkfs.fat -C " + path + " " + std::to_string(odd.kilobytes) + " " +
                             odd.format + " -S 512 --invariant"),
                  0);
        for (const char* item : {".BOOT", ".BOOTRECORD"}) {
            payload = TExeDataBase();
            AddItem(payload, item, ReadWholeFile(path));
            Windows98();
            const auto before = Snapshot();
            try {
                PrepareBootImage(floppy, payload, std::string(item) == ".BOOTRECORD", env);
                ADD_FAILURE() << item << " taken";
            } catch (const EBootImageError& error) {
                EXPECT_THAT(error.what(), HasSubstr("the payload item " + std::string(item) + ": " + odd.says));
            }
            EXPECT_EQ(Snapshot(), before);
        }
    }
    // FATs of another length, an all-zero image, and a sound one cut short, the same way.
    payload = TExeDataBase();
    auto longFats = bootRecord;
    longFats[kBpbSectorsPerFat] = 10;
    AddItem(payload, ".BOOT", longFats);
    EXPECT_THROW(PrepareBootImage(floppy, payload, false, env), EBootImageError);
    payload = TExeDataBase();
    AddItem(payload, ".BOOT", Bytes(kImageSize));
    EXPECT_THROW(PrepareBootImage(floppy, payload, false, env), EBootImageError);
    payload = TExeDataBase();
    AddItem(payload, ".BOOT", Bytes(bootRecord.begin(), bootRecord.end() - 512));
    EXPECT_THROW(PrepareBootImage(floppy, payload, false, env), EBootImageError);
    // The startup-disk image of DiskCopy.dll is held to the same layout.
    host.version = {2, 5, 1};
    host.AddResource("diskcopy.dll", "#1", "BINFILE", Bytes(kImageSize));
    try {
        PrepareBootImage(floppy, payload, true, env);
        ADD_FAILURE() << "an all-zero startup disk taken";
    } catch (const EBootImageError& error) {
        EXPECT_THAT(error.what(), HasSubstr("DiskCopy.dll: bytes per sector (byte 11) is 0 instead of 512"));
    }
}

TEST_F(DosBootTest, ReadyMadeImageIsLoadedWhole) {
    const auto image = ToolImage({"mcopy -i IMG SRC ::/KERNEL.SYS"}, "");
    AddItem(payload, ".boot", image);
    TBootEnv env{host, dialogs};
    ASSERT_TRUE(PrepareBootImage(floppy, payload, false, env));
    EXPECT_EQ(Snapshot(), image);
    EXPECT_TRUE(dialogs.log.empty());
}

// The sanitizer files, on a disk made bootable beforehand.
class SanitizerFilesTest : public DosBootTest {
protected:
    void SetUp() override {
        DosBootTest::SetUp();
        if (IsSkipped()) return;
        TSpanStream stream(bootRecord);
        floppy.LoadFromStream(stream, bootRecord.size());
    }

    std::optional<TWriteFailure> Write(std::string parameters = "", bool loadMouse = true,
                                       std::string options = "101110001011") {
        return WriteSanitizerFiles(floppy, payload, {autoexec, loadMouse, std::move(parameters), std::move(options)});
    }

    TAutoexecTemplate autoexec{"Running Halvex Quellmark 2005 ..."};
};

TEST_F(SanitizerFilesTest, PayloadFilesLandInTheirDirectoriesWithGeneratedConfiguration) {
    AddItem(payload, ".BOOT", bootRecord);
    AddItem(payload, ".HIDDEN.TXT", Text("never"));
    AddItem(payload, "AUTOEXEC.BAT", Text("payload text"));
    AddItem(payload, "SKIPPED.TXT", Text("kind 0"), 0);
    AddItem(payload, "Korvane\\Korvane.exe", Pattern(5000, 8));
    AddItem(payload, "Korvane\\DATA\\KORVANE.INI", Text("payload text"));
    AddItem(payload, "KORVANE\\data\\methods.txt", Text("methods"));
    AddItem(payload, "Korvane\\README.TXT", Text(""));
    AddItem(payload, "Korvane\\DATA\\autoexec.bat", Text("payload text"));

    ASSERT_EQ(Write("/x \"quoted\"", true, "10110"), std::nullopt);

    using Names_ = std::vector<std::string>;
    EXPECT_EQ(Names(floppy), (Names_{"DSKSANIT", "AUTOEXEC.BAT", "KORVANE"}));
    EXPECT_EQ(Names(floppy, "Korvane"), (Names_{".", "..", "KORVANE.EXE", "DATA", "README.TXT"}));
    EXPECT_EQ(Names(floppy, "Korvane\\DATA"), (Names_{".", "..", "KORVANE.INI", "METHODS.TXT", "AUTOEXEC.BAT"}));
    const std::string autoexecText =
        "@echo off\r\nprompt $p$g\r\ncd \\Korvane\r\ndata\\ctmouse\r\n@echo Running Halvex Quellmark 2005 ...\r\n"
        "Korvane /x \"quoted\"\r\n";
    EXPECT_EQ(FileText(floppy, "AUTOEXEC.BAT"), autoexecText);
    EXPECT_EQ(FileText(floppy, "KORVANE\\DATA\\AUTOEXEC.BAT"), autoexecText);
    EXPECT_EQ(FileText(floppy, "KORVANE\\DATA\\KORVANE.INI"),
              "O1=1\r\nO2=0\r\nO3=1\r\nO4=1\r\nO5=0\r\nO6=1\r\nO7=1\r\nO8=1\r\nO9=1\r\nO10=1\r\nO11=1\r\nL=0\r\n");
    EXPECT_EQ(FileBytes(floppy, "KORVANE\\KORVANE.EXE"), Pattern(5000, 8));
    EXPECT_EQ(FileText(floppy, "KORVANE\\DATA\\METHODS.TXT"), "methods");
    EXPECT_EQ(FileText(floppy, "KORVANE\\README.TXT"), "");
    ExpectFsckClean(floppy);
}

TEST_F(SanitizerFilesTest, NamesLongerThanTheirEntryShareOneDirectory) {
    AddItem(payload, "Sanitizer\\Documents\\A.TXT", Text("a"));
    AddItem(payload, "SANITIZER\\DOCUMENTATION\\B.TXT", Text("b"));
    AddItem(payload, "sanitize\\Document\\C.TXT", Text("c"));
    ASSERT_EQ(Write(), std::nullopt);
    EXPECT_EQ(Names(floppy), (std::vector<std::string>{"DSKSANIT", "SANITIZE"}));
    EXPECT_EQ(Names(floppy, "SANITIZE"), (std::vector<std::string>{".", "..", "DOCUMENT"}));
    EXPECT_EQ(Names(floppy, "SANITIZE\\DOCUMENT"), (std::vector<std::string>{".", "..", "A.TXT", "B.TXT", "C.TXT"}));
    ExpectFsckClean(floppy);
}

struct TRefusal {
    std::vector<std::string> names;
    Reason reason;
    std::string item;
};

TEST_F(SanitizerFilesTest, UnfitNamesAreRefusedBeforeAnythingIsWritten) {
    const std::vector<TRefusal> cases = {
        {{"OK.TXT", "Korvane\\..\\..\\X.TXT"}, Reason::BadName, "Korvane\\..\\..\\X.TXT"},
        {{"OK.TXT", "Korvane\\\\X.TXT"}, Reason::BadName, "Korvane\\\\X.TXT"},
        {{"OK.TXT", "\\X.TXT"}, Reason::BadName, "\\X.TXT"},
        {{"OK.TXT", "C:\\X.TXT"}, Reason::BadName, "C:\\X.TXT"},
        {{"OK.TXT", "C:X.TXT"}, Reason::BadName, "C:X.TXT"},
        {{"OK.TXT", "Korvane/X.TXT"}, Reason::BadName, "Korvane/X.TXT"},
        {{"OK.TXT", "Korvane\\"}, Reason::BadName, "Korvane\\"},
        {{"OK.TXT", "Korvane\\.\\X.TXT"}, Reason::BadName, "Korvane\\.\\X.TXT"},
        {{"OK.TXT", "Korvane\\.cfg"}, Reason::BadName, "Korvane\\.cfg"},
        {{"OK.TXT", "A?.TXT"}, Reason::BadName, "A?.TXT"},
        {{"OK.TXT", "DIR*\\A.TXT"}, Reason::BadName, "DIR*\\A.TXT"},
        {{"OK.TXT", "READ ME.TXT"}, Reason::BadName, "READ ME.TXT"},
        {{"OK.TXT", "A.B.C"}, Reason::BadName, "A.B.C"},
        {{"OK.TXT", "TAB\t.TXT"}, Reason::BadName, "TAB\t.TXT"},
        {{"OK.TXT", "A|B<C>.TXT"}, Reason::BadName, "A|B<C>.TXT"},
        // DOS opens the device, never a file, under these names.
        {{"OK.TXT", "con"}, Reason::BadName, "con"},
        {{"OK.TXT", "Korvane\\NUL.TXT"}, Reason::BadName, "Korvane\\NUL.TXT"},
        {{"OK.TXT", "AUX.DAT"}, Reason::BadName, "AUX.DAT"},
        {{"OK.TXT", "PRN\\A.TXT"}, Reason::BadName, "PRN\\A.TXT"},
        {{"OK.TXT", "com4.txt"}, Reason::BadName, "com4.txt"},
        {{"OK.TXT", "LPT3"}, Reason::BadName, "LPT3"},
        {{"OK.TXT", "LONGNAME1.TXT", "LONGNAME2.TXT"}, Reason::SameEntry, "LONGNAME2.TXT"},
        {{"OK.TXT", "A", "A\\X"}, Reason::SameEntry, "A\\X"},
        {{"OK.TXT", "A\\X", "a"}, Reason::SameEntry, "a"},
        {{"OK.TXT", "DIR\\x.txt", "dir\\X.TXT"}, Reason::SameEntry, "dir\\X.TXT"},
        {{"OK.TXT", "EXTENSION.TEXT", "EXTENSIO.TEX"}, Reason::SameEntry, "EXTENSIO.TEX"},
    };
    for (const auto& refusal : cases) {
        payload = TExeDataBase();
        for (const auto& name : refusal.names) AddItem(payload, name, Text("x"));
        const auto before = Snapshot();
        const auto failure = Write();
        ASSERT_TRUE(failure) << refusal.item;
        EXPECT_EQ(failure->reason, refusal.reason) << refusal.item;
        EXPECT_EQ(failure->item, refusal.item);
        EXPECT_EQ(Snapshot(), before) << refusal.item;
    }
}

TEST_F(SanitizerFilesTest, ParametersThatWouldBreakTheBatchFileAreRefused) {
    AddItem(payload, "AUTOEXEC.BAT", {});
    const auto before = Snapshot();
    using namespace std::string_literals;
    for (const auto& parameters : {"/a\r/b"s, "/a\n"s, "/a\x1A"s, "/a\0b"s}) {
        const auto failure = Write(parameters);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->reason, Reason::BadParameters);
        EXPECT_EQ(Snapshot(), before);
    }
}

TEST_F(SanitizerFilesTest, FullDiskIsReportedNotPassedOver) {
    AddItem(payload, "SMALL.TXT", Text("fits"));
    AddItem(payload, "HUGE.BIN", Pattern(1'500'000, 9));
    AddItem(payload, "AFTER.TXT", Text("never reached"));
    const auto failure = Write();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->reason, Reason::DiskFull);
    EXPECT_EQ(failure->item, "HUGE.BIN");

    // The root directory runs out of slots before the data area does.
    payload = TExeDataBase();
    std::ranges::fill(floppy.Image(), std::uint8_t(0));
    TSpanStream stream(bootRecord);
    floppy.LoadFromStream(stream, bootRecord.size());
    for (int i = 0; i < 300; ++i) AddItem(payload, "F" + std::to_string(i) + ".TXT", Text("x"));
    const auto rootFull = Write();
    ASSERT_TRUE(rootFull);
    EXPECT_EQ(rootFull->reason, Reason::RootFull);
    // The label and 223 files take all 224 root entries, the last one without an end marker
    // behind it, as fsck.fat and mtools accept.
    EXPECT_EQ(rootFull->item, "F223.TXT");
    EXPECT_EQ(Listing(floppy).size(), 224u);
    ExpectFsckClean(floppy);
    TTempDir dir;
    WriteFile(dir / "full.img", Snapshot());
    std::string listing;
    ASSERT_EQ(RunCommand(kMtools + "mdir -b -i " + (dir / "full.img") + " ::/", &listing), 0);
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 223);

    // A disk that is no 1.44 MB FAT12 floppy at all says so, not that it is full.
    std::ranges::fill(floppy.Image(), std::uint8_t(0));
    const auto notFloppy = Write();
    ASSERT_TRUE(notFloppy);
    EXPECT_EQ(notFloppy->reason, Reason::NotFloppyImage);
    const TVirtualFloppy blank;
    EXPECT_EQ(Snapshot(), Bytes(blank.Image().begin(), blank.Image().end()));

    const TStringTable texts;
    EXPECT_EQ(DescribeWriteFailure(texts, *failure), "There is not enough room on the boot disk for HUGE.BIN");
    EXPECT_EQ(DescribeWriteFailure(texts, *rootFull), "The root directory of the boot disk has no free entry for F223.TXT");
    EXPECT_EQ(DescribeWriteFailure(texts, *notFloppy),
              "The boot disk is not a 1.44 MB FAT12 floppy image; cannot write F0.TXT");
}

TEST_F(SanitizerFilesTest, DeletedEntriesOfTheReadyMadeImageAreReused) {
    // Root: KERNEL.SYS, a deleted OLD.TXT, COMMAND.COM, a deleted GONE.TXT.
    const auto image = ToolImage({"mcopy -i IMG SRC ::/KERNEL.SYS", "mcopy -i IMG SRC ::/OLD.TXT",
                                  "mcopy -i IMG SRC ::/COMMAND.COM", "mcopy -i IMG SRC ::/GONE.TXT",
                                  "mdel -i IMG ::/OLD.TXT", "mdel -i IMG ::/GONE.TXT"},
                                 "");
    ASSERT_EQ(image.size(), kImageSize);
    payload = TExeDataBase();
    AddItem(payload, ".BOOT", image);
    AddItem(payload, "AUTOEXEC.BAT", {});
    AddItem(payload, "Korvane\\Korvane.exe", Text("exe"));
    AddItem(payload, "NEW.TXT", Text("new"));
    TBootEnv env{host, dialogs};
    ASSERT_TRUE(PrepareBootImage(floppy, payload, false, env));
    ASSERT_EQ(EntryRawName(floppy, kRoot, 1)[0], char(kEntryDeleted));
    ASSERT_EQ(Write(), std::nullopt);

    EXPECT_EQ(EntryRawName(floppy, kRoot, 0), "KERNEL  SYS");
    EXPECT_EQ(EntryRawName(floppy, kRoot, 1), "AUTOEXECBAT");
    EXPECT_EQ(EntryRawName(floppy, kRoot, 2), "COMMAND COM");
    EXPECT_EQ(EntryRawName(floppy, kRoot, 3), "KORVANE    ");
    EXPECT_EQ(EntryRawName(floppy, kRoot, 4), "NEW     TXT");
    EXPECT_EQ(FileText(floppy, "KORVANE\\KORVANE.EXE"), "exe");
    ExpectFsckClean(floppy);
}

TEST_F(SanitizerFilesTest, FilesTheBootImageAlreadyCarriesAreReplacedNotDoubled) {
    const auto image = ToolImage({"mcopy -i IMG SRC ::/AUTOEXEC.BAT", "mmd -i IMG ::/KORVANE",
                                  "mcopy -i IMG SRC ::/KORVANE/README.TXT"},
                                 "");
    ASSERT_EQ(image.size(), kImageSize);
    TSpanStream stream(image);
    floppy.LoadFromStream(stream, image.size());
    AddItem(payload, "AUTOEXEC.BAT", {});
    AddItem(payload, "Korvane\\README.TXT", Text("new readme"));
    ASSERT_EQ(Write(), std::nullopt);
    EXPECT_EQ(Names(floppy), (std::vector<std::string>{"AUTOEXEC.BAT", "KORVANE"}));
    EXPECT_EQ(Names(floppy, "KORVANE"), (std::vector<std::string>{".", "..", "README.TXT"}));
    EXPECT_EQ(FileText(floppy, "KORVANE\\README.TXT"), "new readme");
    EXPECT_NE(FileText(floppy, "AUTOEXEC.BAT"), "old");
    ExpectFsckClean(floppy);
}

TEST_F(SanitizerFilesTest, PayloadEntriesThatClashWithTheBootImageAreRefused) {
    const auto image = ToolImage({"mmd -i IMG ::/DOS", "mcopy -i IMG SRC ::/KORVANE"}, "");
    ASSERT_EQ(image.size(), kImageSize);
    for (const std::string name : {"DOS", "Korvane\\Korvane.exe"}) {
        TSpanStream stream(image);
        floppy.LoadFromStream(stream, image.size());
        payload = TExeDataBase();
        AddItem(payload, "OK.TXT", Text("x"));
        AddItem(payload, name, Text("x"));
        const auto failure = Write();
        ASSERT_TRUE(failure) << name;
        EXPECT_EQ(failure->reason, Reason::SameEntry) << name;
        EXPECT_EQ(failure->item, name);
        EXPECT_EQ(Snapshot(), image) << name;
    }
}

}  // namespace
}  // namespace bootdisk
