// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk iso` and `bootdisk image` as a user runs them, their output checked with dosfstools and
// mtools.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "base/Streams.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Quoted;
using test::RunCommand;
using test::TTempDir;
using testing::HasSubstr;
namespace fs = std::filesystem;

constexpr std::size_t kCdImageSize = 1'515'520;
constexpr std::size_t kFloppyOffset = 20 * 2048;
constexpr std::size_t kFloppySize = 1'474'560;
const std::string kTools = test::kToolPath + "MTOOLS_SKIP_CHECK=1 ";

const std::string kAutoexecStart = "@echo off\r\nprompt $p$g\r\ncd \\Korvane\r\n";
const std::string kMouseLine = "data\\ctmouse\r\n";
const std::string kRunningLine = "@echo Running Halvex Quellmark 2005 ...\r\n";

std::string Ini(const std::string& bits) {
    std::string text;
    for (std::size_t i = 0; i < 11; ++i) text += "O" + std::to_string(i + 1) + "=" + bits[i] + "\r\n";
    return text + "L=0\r\n";
}

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = std::uint8_t(seed + i * 31 + i / 253);
    return bytes;
}

class BootdiskImage : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"mkfs.fat", "fsck.fat", "mtype", "mcopy", "mdir"})
            if (RunCommand(kTools + "command -v " + tool) != 0)
                GTEST_SKIP() << tool << " is not installed; scripts/setup installs dosfstools and mtools";
        fs::create_directory(dos);
        test::WriteFile(dos + "/IO.SYS", ioSys);
        test::WriteFile(dos + "/COMMAND.COM", commandCom);
    }

    // Runs the tool in the temp folder with no terminal to answer prompts.
    int Bootdisk(const std::string& arguments, std::string* output = nullptr, const char* epoch = "1136073600") {
        std::string discard;
        return RunCommand("cd " + Quoted(temp.Path()) + " && SOURCE_DATE_EPOCH=" + epoch + " " +
                              Quoted(test::BinPath("bootdisk")) + " " + arguments + " < /dev/null",
                          output ? output : &discard);
    }
    std::string Iso(const std::string& out, const std::string& extra = "") {
        std::string output;
        EXPECT_EQ(Bootdisk("iso " + Quoted(out) + " --os msdos --msdos-folder " + Quoted(dos) + " " + extra, &output), 0)
            << output;
        return output;
    }

    // The floppy image inside a CD image, saved beside it.
    std::string FloppyOf(const std::string& iso) {
        const auto image = ReadWholeFile(iso);
        EXPECT_EQ(image.size(), kCdImageSize);
        if (image.size() != kCdImageSize) return iso;
        test::WriteFile(iso + ".img", Bytes(image.begin() + kFloppyOffset, image.end()));
        return iso + ".img";
    }

    static void ExpectFsckClean(const std::string& image) {
        std::string output;
        EXPECT_EQ(RunCommand(kTools + "fsck.fat -n " + Quoted(image), &output), 0) << output;
        EXPECT_THAT(output, testing::Not(HasSubstr("\n  "))) << output;  // no findings listed
    }

    static std::string Mtype(const std::string& image, const std::string& path) {
        std::string output;
        EXPECT_EQ(RunCommand(kTools + "mtype -i " + Quoted(image) + " ::/" + path, &output), 0) << output;
        return output;
    }

    static std::string Mdir(const std::string& image) {
        std::string output;
        EXPECT_EQ(RunCommand(kTools + "mdir -/ -b -i " + Quoted(image) + " ::", &output), 0) << output;
        return output;
    }

    std::vector<std::string> FilesInTemp() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(temp.Path())) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TTempDir temp;
    std::string dos = temp / "dos";
    Bytes ioSys = Pattern(40'000, 1);
    Bytes commandCom = Pattern(93'000, 2);
};

TEST_F(BootdiskImage, IsoHoldsACleanMsDosFloppyWithThePayloadTree) {
    const auto iso = temp / "boot.iso";
    EXPECT_EQ(Iso(iso), iso + "\n");
    ASSERT_EQ(fs::file_size(iso), kCdImageSize);
    const auto floppy = FloppyOf(iso);
    ExpectFsckClean(floppy);

    EXPECT_EQ(Mdir(floppy),
              "::/IO.SYS\n::/COMMAND.COM\n::/MSDOS.SYS\n::/AUTOEXEC.BAT\n::/KORVANE/\n::/KORVANE/DATA/\n"
              "::/KORVANE/KORVANE.EXE\n::/KORVANE/README.TXT\n::/KORVANE/DATA/CTMOUSE.EXE\n"
              "::/KORVANE/DATA/KORVANE.INI\n::/KORVANE/DATA/METHODS.TXT\n");
    const auto io = Mtype(floppy, "IO.SYS");
    EXPECT_EQ(Bytes(io.begin(), io.end()), ioSys);
    const auto command = Mtype(floppy, "COMMAND.COM");
    EXPECT_EQ(Bytes(command.begin(), command.end()), commandCom);
    EXPECT_EQ(Mtype(floppy, "MSDOS.SYS"), "[Options]\r\nBootGui=0\r\n");

    const auto files = test::DemoPayloadFiles();
    ASSERT_EQ(files.size(), 6u);
    for (const auto& [path, source] : files) {
        if (path == "AUTOEXEC.BAT" || path == "Korvane/DATA/KORVANE.INI") continue;
        const auto bytes = ReadWholeFile(source);
        EXPECT_EQ(Mtype(floppy, path), std::string(bytes.begin(), bytes.end())) << path;
    }
}

TEST_F(BootdiskImage, ConfigurationFilesFollowTheCommandLine) {
    struct TVariant {
        std::string arguments;
        std::string autoexec;
        std::string ini;
    };
    const std::vector<TVariant> variants = {
        {"", kAutoexecStart + kMouseLine + kRunningLine + "Korvane \r\n", Ini("10011100101")},
        {"--params /x --no-mouse", kAutoexecStart + kRunningLine + "Korvane /x\r\n", Ini("10011100101")},
        {"--options 000000000000", kAutoexecStart + kMouseLine + kRunningLine + "Korvane \r\n", Ini("00000000000")},
        {"--options 111111111111 --params '/a  \"b c\"'", kAutoexecStart + kRunningLine + "Korvane /a  \"b c\"\r\n",
         Ini("11111111111")},
        {"--no-verify --create-partition", kAutoexecStart + kMouseLine + kRunningLine + "Korvane \r\n",
         Ini("00011100111")},
    };
    int n = 0;
    for (const auto& variant : variants) {
        const auto iso = temp / ("v" + std::to_string(n++) + ".iso");
        Iso(iso, variant.arguments);
        const auto floppy = FloppyOf(iso);
        EXPECT_EQ(Mtype(floppy, "AUTOEXEC.BAT"), variant.autoexec) << variant.arguments;
        EXPECT_EQ(Mtype(floppy, "Korvane/DATA/KORVANE.INI"), variant.ini) << variant.arguments;
        ExpectFsckClean(floppy);
    }
}

TEST_F(BootdiskImage, SourceDateEpochMakesRunsIdentical) {
    Iso(temp / "a.iso");
    EXPECT_EQ(Iso(temp / "b"), temp / "b.ISO\n");  // a name without extension receives the default
    EXPECT_EQ(ReadWholeFile(temp / "a.iso"), ReadWholeFile(temp / "b.ISO"));
}

TEST_F(BootdiskImage, CdSectorsFrom20OnAreTheMsDosFloppyImage) {
    Iso(temp / "cd.iso", "--params /x");
    std::string output;
    ASSERT_EQ(Bootdisk("image floppy.img --os msdos --params /x --msdos-folder " + Quoted(dos), &output), 0)
        << output;
    EXPECT_EQ(ReadWholeFile(FloppyOf(temp / "cd.iso")), ReadWholeFile(temp / "floppy.img"));
}

TEST_F(BootdiskImage, FailedRunsSayWhyAndLeaveNoFile) {
    struct TFailure {
        std::string arguments;
        std::vector<std::string> messages;
    };
    fs::create_directory(temp / "empty");
    test::WriteFile(temp / "empty/IO.SYS", ioSys);
    const std::vector<TFailure> failures = {
        {"iso out.iso --os msdos --msdos-folder " + Quoted(temp / "empty"),
         {"There is no system files.", "Cannot find Ms-Dos system files."}},
        {"iso out.iso --os msdos --msdos-folder " + Quoted(temp / "missing"),
         {"There is no system files.", "Cannot find Ms-Dos system files."}},
        {"iso out.iso --os msdos", {"Cannot find Ms-Dos system files."}},
        {"image out.iso --os msdos", {"Cannot find Ms-Dos system files."}},
    };
    for (const auto& failure : failures) {
        std::string output;
        EXPECT_EQ(Bootdisk(failure.arguments, &output), 1) << failure.arguments;
        for (const auto& message : failure.messages) EXPECT_THAT(output, HasSubstr(message)) << failure.arguments;
        EXPECT_EQ(FilesInTemp(), (std::vector<std::string>{"dos", "empty"})) << failure.arguments;
    }

    // An image from an earlier run survives a failed one.
    test::WriteFile(temp / "out.iso", {'o', 'l', 'd'});
    for (const auto& failure : failures) {
        EXPECT_EQ(Bootdisk(failure.arguments), 1) << failure.arguments;
        EXPECT_EQ(ReadWholeFile(temp / "out.iso"), (Bytes{'o', 'l', 'd'})) << failure.arguments;
        EXPECT_EQ(FilesInTemp(), (std::vector<std::string>{"dos", "empty", "out.iso"})) << failure.arguments;
    }
}

TEST_F(BootdiskImage, UnwritableDestinationIsNamedWithTheReason) {
    for (const std::string command : {"iso", "image"}) {
        std::string output;
        EXPECT_EQ(Bootdisk(command + " /nonexistent/dir/x.iso --msdos-folder " + Quoted(dos), &output), 1) << command;
        EXPECT_THAT(output, HasSubstr("/nonexistent/dir/x.iso")) << command;
        EXPECT_THAT(output, HasSubstr("No such file or directory")) << command;
        EXPECT_FALSE(fs::exists("/nonexistent/dir")) << command;
        EXPECT_EQ(FilesInTemp(), std::vector<std::string>{"dos"}) << command;
    }
}

TEST_F(BootdiskImage, OnlyARegularFileOrANewNameIsReplaced) {
    // Each name stands for something that is not a file: nothing may be written in its place, nor
    // beside it under a name with the default extension added.
    ASSERT_EQ(RunCommand("cd " + Quoted(temp.Path()) + " && mkfifo pipe.iso pipe && ln -s nowhere.iso dangling.iso"), 0);
    fs::create_directory(temp / "folder");
    std::vector<std::pair<std::string, std::string>> refused = {
        {"pipe.iso", "it is a FIFO"},
        {"dangling.iso", "it is a symbolic link to a file that does not exist"},
        {"pipe", "it is a FIFO"},
        {"folder", "it is a folder"},
        {"folder/", "it is a folder"},
        {"-", "'-' would be standard output, which takes no image; name a file"},
        {"/dev/null", "it is a character device"},
        {"/dev/bootdisk-none", "it is under /dev, where the devices are, not files; drives are written by 'bootdisk usb'"}};
    // Device nodes need root to make; a loop device's number is enough, nothing is opened.
    if (RunCommand("cd " + Quoted(temp.Path()) + " && mknod disk.iso b 7 250 && mknod null.iso c 1 3") == 0) {
        refused.push_back({"disk.iso", "it is a block device (a drive), not a file; drives are written by 'bootdisk usb'"});
        refused.push_back({"null.iso", "it is a character device"});
    }
    for (const auto& [name, reason] : refused) {
        for (const std::string command : {"iso", "image", "create --yes iso="}) {
            const auto separator = command.back() == '=' ? "" : " ";
            std::string output;
            EXPECT_NE(Bootdisk(command + separator + name + " --msdos-folder " + Quoted(dos), &output), 0) << command;
            EXPECT_THAT(output, HasSubstr("cannot write " + name + ": " + reason)) << command;
        }
        EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(temp / name))) << name;
    }
    EXPECT_FALSE(fs::exists(temp / "nowhere.iso"));
    EXPECT_FALSE(test::HasScratchFile(temp.Path()));
    for (const auto* made : {"-.ISO", "-.IMG", "pipe.ISO", "pipe.IMG", "folder.ISO", "folder.IMG"})
        EXPECT_FALSE(fs::exists(temp / made)) << made;
    EXPECT_TRUE(fs::is_empty(temp / "folder"));

    // A plain new name receives the default extension; an existing file is replaced as named.
    std::string made;
    EXPECT_EQ(Bootdisk("iso plain --msdos-folder " + Quoted(dos), &made), 0) << made;
    EXPECT_EQ(Bootdisk("image plain", &made), 0) << made;
    EXPECT_EQ(fs::file_size(temp / "plain.ISO"), kCdImageSize);
    EXPECT_EQ(fs::file_size(temp / "plain.IMG"), kFloppySize);
    test::WriteFile(temp / "existing", {'o', 'l', 'd'});
    EXPECT_EQ(Bootdisk("image existing", &made), 0) << made;
    EXPECT_EQ(fs::file_size(temp / "existing"), kFloppySize);
    EXPECT_FALSE(fs::exists(temp / "existing.IMG"));

    // A link to a file is written through and stays a link.
    test::WriteFile(temp / "real.iso", {'o', 'l', 'd'});
    fs::create_symlink("real.iso", temp / "link.iso");
    Iso(temp / "link.iso");
    EXPECT_TRUE(fs::is_symlink(temp / "link.iso"));
    EXPECT_EQ(ReadWholeFile(temp / "real.iso").size(), kCdImageSize);

    // The scratch file's name is short: a target of the longest name a folder takes still works.
    const std::string longest = std::string(251, 'n') + ".img";
    std::string output;
    EXPECT_EQ(Bootdisk("image " + longest, &output), 0) << output;
    EXPECT_EQ(fs::file_size(temp / longest), kFloppySize);
}

// A file written anew in place of an older one keeps what its owner set: who may read it, and
// whose it is (where the user may give it away).
TEST_F(BootdiskImage, AReplacedFileKeepsItsPermissionsAndOwner) {
    for (const auto* name : {"private.img", "private.iso"}) {
        test::WriteFile(temp / name, {'o', 'l', 'd'});
        fs::permissions(temp / name, fs::perms::owner_read | fs::perms::owner_write);
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown((temp / name).c_str(), 65534, 65534), 0);
        }
    }
    std::string output;
    ASSERT_EQ(Bootdisk("image private.img", &output), 0) << output;
    ASSERT_EQ(Bootdisk("iso private.iso --msdos-folder " + Quoted(dos), &output), 0) << output;
    for (const auto* name : {"private.img", "private.iso"}) {
        struct stat status {};
        ASSERT_EQ(::stat((temp / name).c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0600u) << name;
        EXPECT_GT(status.st_size, 3) << name;
        if (::geteuid() == 0) {
            EXPECT_EQ(status.st_uid, 65534u) << name;
        }
    }
}

TEST_F(BootdiskImage, ParametersAreWrittenInWindows1252OrRefusedByName) {
    const auto iso = temp / "p.iso";
    Iso(iso, "--params '/n=\xc3\xa9\xe2\x82\xac'");
    EXPECT_EQ(Mtype(FloppyOf(iso), "AUTOEXEC.BAT"),
              kAutoexecStart + kMouseLine + kRunningLine + "Korvane /n=\xE9\x80\r\n");  // é and € in Windows-1252
    const std::pair<std::string, std::string> refused[] = {
        {"\"$(printf 'a\\tb')\"", "line breaks or control characters: refused U+0009 at position 2"},
        {"\"$(printf 'a\\177b')\"", "line breaks or control characters: refused U+007F at position 2"},
        {"'\xe2\x98\x83'", "only characters of Windows-1252, the code page of AUTOEXEC.BAT: refused \xe2\x98\x83 (U+2603) at position 1"},
        {"'/\xe9'", "not UTF-8 text: refused the byte E9 at position 2"},
    };
    for (const auto& [parameters, message] : refused) {
        std::string output;
        EXPECT_EQ(Bootdisk("image x.img --params " + parameters, &output), 2) << parameters;
        EXPECT_THAT(output, HasSubstr(message)) << parameters;
    }
    EXPECT_FALSE(fs::exists(temp / "x.img"));
}

TEST_F(BootdiskImage, PayloadWithoutTheMsDosBootRecordIsRefused) {
    fs::create_directory(temp / "files");
    test::WriteFile(temp / "files/AUTOEXEC.BAT", {'x'});
    std::string output;
    ASSERT_EQ(RunCommand(Quoted(test::BinPath("mkpayload")) + " pack " + Quoted(temp / "no-record.pak") + " " +
                             Quoted(temp / "files"),
                         &output),
              0)
        << output;
    output.clear();
    EXPECT_EQ(Bootdisk("iso out.iso --os msdos --payload no-record.pak --msdos-folder " + Quoted(dos), &output), 1);
    EXPECT_THAT(output, HasSubstr("Cannot find Ms-Dos system files."));
    output.clear();
    EXPECT_EQ(Bootdisk("image out.img --payload no-record.pak", &output), 1);
    EXPECT_THAT(output, HasSubstr("Cannot find Ms-Dos system files."));
    EXPECT_FALSE(fs::exists(temp / "out.iso"));
    EXPECT_FALSE(test::HasScratchFile(temp.Path()));
    EXPECT_FALSE(fs::exists(temp / "out.img"));
}

TEST_F(BootdiskImage, UsbImageDiffersOnlyInTheBootDriveNumber) {
    std::string output;
    ASSERT_EQ(Bootdisk("image floppy.img", &output), 0) << output;
    ASSERT_EQ(Bootdisk("image usb.img --usb", &output), 0) << output;
    const auto floppy = ReadWholeFile(temp / "floppy.img");
    auto usb = ReadWholeFile(temp / "usb.img");
    ASSERT_EQ(floppy.size(), kFloppySize);
    ASSERT_EQ(usb.size(), kFloppySize);
    EXPECT_EQ(floppy[36], 0x00);
    EXPECT_EQ(usb[36], 0x80);
    usb[36] = floppy[36];
    EXPECT_EQ(usb, floppy);
    ExpectFsckClean(temp / "floppy.img");
    ExpectFsckClean(temp / "usb.img");
    EXPECT_EQ(Mtype(temp / "usb.img", "AUTOEXEC.BAT"), kAutoexecStart + kMouseLine + kRunningLine + "Korvane \r\n");
}

TEST_F(BootdiskImage, MsDosFloppyTakesTheSystemFilesFromTheFolder) {
    std::string output;
    ASSERT_EQ(Bootdisk("image msdos.img --os msdos --msdos-folder " + Quoted(dos), &output), 0) << output;
    const auto image = temp / "msdos.img";
    ExpectFsckClean(image);
    EXPECT_THAT(Mdir(image), testing::StartsWith("::/IO.SYS\n::/COMMAND.COM\n::/MSDOS.SYS\n::/AUTOEXEC.BAT\n"));
    const auto io = Mtype(image, "IO.SYS");
    EXPECT_EQ(Bytes(io.begin(), io.end()), ioSys);

    ASSERT_EQ(Bootdisk("image rx.img", &output), 0) << output;
    EXPECT_THAT(Mdir(temp / "rx.img"), testing::Not(HasSubstr("::/IO.SYS")));
}

TEST_F(BootdiskImage, HelpAndUnknownOptions) {
    std::string output;
    EXPECT_EQ(Bootdisk("iso --help", &output), 0);
    EXPECT_THAT(output, HasSubstr("--msdos-folder"));
    output.clear();
    EXPECT_EQ(Bootdisk("iso out.iso --bogus", &output), 2);
    EXPECT_THAT(output, HasSubstr("--bogus"));
    output.clear();
    EXPECT_EQ(Bootdisk("iso out.iso --usb", &output), 2);  // only `image` takes it
    EXPECT_THAT(output, HasSubstr("--usb"));
    output.clear();
    EXPECT_EQ(Bootdisk("iso out.iso --msdos-folder " + Quoted(dos) + " --params \"$(printf '/a\\r')\"", &output), 2);
    EXPECT_THAT(output, HasSubstr("--params"));
    EXPECT_EQ(FilesInTemp(), std::vector<std::string>{"dos"});
}

}  // namespace
}  // namespace bootdisk
