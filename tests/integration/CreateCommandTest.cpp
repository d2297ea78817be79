// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk create`: whole creation lists from the command line, unattended and on a terminal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

#include "base/Streams.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using test::Quoted;
using test::RunCommand;
using testing::HasSubstr;
using testing::Not;
namespace fs = std::filesystem;

// A command on a terminal of its own, answered as a person would: each answer typed once its
// question shows. A command that asks for ever instead of ending is killed with the object.
class TTerminal {
public:
    explicit TTerminal(const std::string& command) {
        pid_ = ::forkpty(&master_, nullptr, nullptr, nullptr);
        if (pid_ == 0) {
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~TTerminal() {
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) ::close(master_);
    }
    TTerminal(const TTerminal&) = delete;
    TTerminal& operator=(const TTerminal&) = delete;

    // Waits for text after what was waited for before, then types keys.
    bool Answer(const std::string& text, const std::string& keys) {
        for (auto end = Deadline(); Clock::now() < end && output.find(text, seen_) == std::string::npos;) Read();
        const auto at = output.find(text, seen_);
        if (at == std::string::npos) return false;
        seen_ = at + text.size();
        return ::write(master_, keys.data(), keys.size()) == ssize_t(keys.size());
    }
    // The exit status; nothing when the command has not ended in time.
    std::optional<int> Status() {
        for (auto end = Deadline(); !status_ && Clock::now() < end;) {
            Read();
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        }
        return status_;
    }

    std::string output;

private:
    using Clock = std::chrono::steady_clock;
    static Clock::time_point Deadline() { return Clock::now() + std::chrono::seconds(20); }
    void Read() {
        pollfd ready{master_, POLLIN, 0};
        if (::poll(&ready, 1, 50) <= 0) return;
        char chunk[4096];
        const auto n = ::read(master_, chunk, sizeof chunk);
        if (n > 0 && output.size() < (1u << 20)) output.append(chunk, std::size_t(n));
    }

    int master_ = -1;
    pid_t pid_ = -1;
    std::optional<int> status_;
    std::size_t seen_ = 0;
};

class CreateCommand : public ::testing::Test {
protected:
    std::string Bootdisk(const std::string& arguments) const {
        return "cd " + Quoted(temp.Path()) + " && SOURCE_DATE_EPOCH=1136073600 " + Quoted(test::BinPath("bootdisk")) +
               " " + arguments;
    }
    bool Exists(const std::string& name) const { return fs::exists(temp / name); }

    test::TTempDir temp;
};

TEST_F(CreateCommand, MakesEveryCopyInRowOrderWithOneProgressBar) {
    std::string output;
    ASSERT_EQ(RunCommand(Bootdisk("create --yes 2:iso=a.iso cd=sim:") + " < /dev/null", &output), 0) << output;
    const auto first = output.find("copy 1 of 3, a.iso: made");
    const auto second = output.find("copy 2 of 3, a-2.iso: made");
    const auto third = output.find("copy 3 of 3, SIM WRITER (BOOTDISK): made");
    ASSERT_NE(first, std::string::npos) << output;
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_NE(third, std::string::npos) << output;
    EXPECT_THAT(output, Not(HasSubstr("\r"))) << "no progress line in a pipe";
    EXPECT_THAT(output, HasSubstr("3 of 3 copies made."));

    ASSERT_EQ(RunCommand(Bootdisk("iso single.iso"), &output), 0) << output;
    const auto single = ReadWholeFile(temp / "single.iso");
    EXPECT_EQ(ReadWholeFile(temp / "a.iso"), single);
    EXPECT_EQ(ReadWholeFile(temp / "a-2.iso"), single);
}

TEST_F(CreateCommand, FloppyRowsGoToTheOneFloppyDriveOfTheRun) {
    const auto floppy = temp / "floppy.img";
    std::string output;
    ASSERT_EQ(RunCommand("truncate -s 1474560 " + Quoted(floppy)), 0);
    ASSERT_EQ(RunCommand(Bootdisk("create --yes 2:floppy=floppy.img iso=a.iso") + " < /dev/null", &output), 0)
        << output;
    EXPECT_THAT(output, HasSubstr("copy 2 of 3, floppy: made"));
    EXPECT_EQ(RunCommand(test::kToolPath + "fsck.fat -n " + Quoted(floppy), &output), 0) << output;

    EXPECT_NE(RunCommand(Bootdisk("create --yes floppy=floppy.img floppy=other.img"), &output), 0);
    EXPECT_THAT(output, HasSubstr("one run has one floppy drive"));
}

// An img row writes the boot floppy image, each copy to its own file through a scratch file, the
// same bytes as `bootdisk image` writes and a FAT file system fsck.fat accepts.
TEST_F(CreateCommand, ImgRowsWriteTheFloppyImageToNumberedFiles) {
    std::string output;
    ASSERT_EQ(RunCommand(Bootdisk("create --yes 2:img=f iso=a.iso") + " < /dev/null", &output), 0) << output;
    EXPECT_THAT(output, HasSubstr("copy 1 of 3, f.IMG: made"));
    EXPECT_THAT(output, HasSubstr("copy 2 of 3, f-2.IMG: made"));
    EXPECT_FALSE(test::HasScratchFile(temp.Path()));
    ASSERT_EQ(RunCommand(Bootdisk("image single.img"), &output), 0) << output;
    EXPECT_EQ(ReadWholeFile(temp / "f.IMG"), ReadWholeFile(temp / "single.img"));
    EXPECT_EQ(ReadWholeFile(temp / "f-2.IMG"), ReadWholeFile(temp / "single.img"));
    EXPECT_EQ(RunCommand(test::kToolPath + "fsck.fat -n " + Quoted(temp / "f-2.IMG"), &output), 0) << output;

    EXPECT_NE(RunCommand(Bootdisk("create --yes img=a.iso iso=a.iso"), &output), 0);
    EXPECT_THAT(output, HasSubstr("rows 1 and 2 both write"));
}

// The exit status tells a disc that failed from one that was recorded but does not read back.
TEST_F(CreateCommand, UnattendedAFailedCopyEndsTheRunAndKeepsWhatWasMade) {
    std::string output;
    EXPECT_EQ(RunCommand(Bootdisk("create --yes iso=a.iso cd=sim:notready iso=b.iso") + " < /dev/null", &output), 1);
    EXPECT_THAT(output, HasSubstr("The device is not ready. Try again..."));
    EXPECT_THAT(output, HasSubstr("1 of 3 copies made."));
    EXPECT_TRUE(Exists("a.iso"));
    EXPECT_FALSE(Exists("b.iso"));

    EXPECT_EQ(RunCommand(Bootdisk("create --yes cd=sim:corrupt") + " < /dev/null", &output), 3);
    EXPECT_THAT(output, HasSubstr("The disc does not read back what was written, from sector 100"));
}

TEST_F(CreateCommand, CancelThenYesOnTheTerminalStopsCleanly) {
    if (RunCommand("command -v script") != 0) GTEST_SKIP() << "script (util-linux) is not installed";
    std::string output;
    // script gives the tool a terminal; the answers arrive once the questions are on it.
    const int status = RunCommand("(sleep 1; printf '2\\n'; sleep 1; printf '1\\n'; sleep 1) | script -qfec " +
                                      Quoted(Bootdisk("create 2:iso=a.iso")) + " /dev/null",
                                  &output);
    EXPECT_NE(status, 0);
    EXPECT_THAT(output, HasSubstr("Do you want to stop the process ?"));
    EXPECT_THAT(output, HasSubstr("0 of 2 copies made."));
    EXPECT_FALSE(Exists("a.iso"));
}

// Return and end of input (Ctrl-D) are habits, never consent: at every question of the terminal
// they take the safe answer, nothing is written without a typed "yes" and "1", and no question is
// asked for ever.
TEST_F(CreateCommand, ReturnAndCtrlDOnTheTerminalNeverWrite) {
    const auto floppy = temp / "floppy.img";
    const auto zeros = std::vector<std::uint8_t>(1'474'560, 0);
    test::WriteFile(floppy, zeros);
    const auto bootdisk = Quoted(test::BinPath("bootdisk"));
    const std::string write = "Write the boot disk? [y/N] ", prompt = "[1] OK / [2] Cancel: ";
    const auto play = [&](const std::string& command, const std::vector<std::pair<std::string, std::string>>& answers,
                          int wanted, const std::string& said) {
        TTerminal terminal("cd " + Quoted(temp.Path()) + " && " + command);
        for (const auto& [question, keys] : answers)
            ASSERT_TRUE(terminal.Answer(question, keys)) << "no \"" << question << "\" in:\n" << terminal.output;
        EXPECT_EQ(terminal.Status(), wanted) << command << "\n" << terminal.output.substr(0, 4000);
        EXPECT_THAT(terminal.output, HasSubstr(said)) << command;
    };
    play(bootdisk + " floppy floppy.img", {{write, "\r"}}, 5, "nothing was written");
    play(bootdisk + " floppy floppy.img", {{write, "\x04"}}, 5, "nothing was written");
    EXPECT_EQ(ReadWholeFile(floppy), zeros);

    play(bootdisk + " create floppy=floppy.img",
         {{write, "y\r"}, {"All data on the floppy disk will be erased. " + prompt, "\x04"}}, 5,
         "Nothing was written to floppy floppy.img.");
    play(bootdisk + " create floppy=floppy.img", {{write, "y\r"}, {prompt, "2\r"}, {"[1] Yes / [2] No: ", "\x04"}}, 5,
         "Nothing was written to floppy floppy.img.");
    EXPECT_EQ(ReadWholeFile(floppy), zeros);

    // A write that fails part way (the file may not grow past 100 KB here): Ctrl-D aborts it, and
    // the floppy given up on ends its row.
    play("trap '' XFSZ; ulimit -f 100; exec " + bootdisk + " create floppy=floppy.img",
         {{write, "y\r"}, {prompt, "1\r"}, {"[R]etry / [A]bort: ", "\x04"}}, 1,
         "floppy floppy.img is half-written: write it again before use.");
}

TEST_F(CreateCommand, RowsThatCannotBeMadeAreRefusedBeforeAnyCopy) {
    std::string output;
    EXPECT_EQ(RunCommand(Bootdisk("create --yes iso=a.iso dvd=x"), &output), 2);
    EXPECT_THAT(output, HasSubstr("not 'dvd'"));
    EXPECT_NE(RunCommand(Bootdisk("create --yes iso=a.iso cd=/dev/null"), &output), 0);
    EXPECT_NE(RunCommand(Bootdisk("create --yes iso=a.iso usb=/etc/hostname"), &output), 0);
    EXPECT_THAT(output, HasSubstr("/etc/hostname is not a disk of this computer"));
    EXPECT_FALSE(Exists("a.iso"));

    // Two rows writing one file would count copies that are not there.
    const std::pair<const char*, const char*> colliding[] = {
        {"2:iso=a.iso 2:iso=a.iso", "rows 1 and 2 both write a.iso"},
        {"2:iso=a.iso iso=./a-2.iso", "rows 1 and 2 both write ./a-2.iso"},
        {"floppy=f.img iso=f.img", "rows 1 and 2 both write f.img"},
        {"0:iso=a.iso", "a row makes 1 to 99 copies, not 0"},
        {"00:iso=a.iso", "a row makes 1 to 99 copies, not 00"},
    };
    for (const auto& [rows, message] : colliding) {
        EXPECT_EQ(RunCommand(Bootdisk(std::string("create --yes ") + rows), &output), 2) << rows;
        EXPECT_THAT(output, HasSubstr(message)) << rows;
    }
    EXPECT_FALSE(Exists("a.iso"));
}

TEST_F(CreateCommand, ASignalEndsTheRunWithoutAHalfWrittenFile) {
    std::string output;
    // A background job keeps SIGTERM (a shell ignores SIGINT for it); the signal comes once the third
    // copy is there, far from the end of the run.
    const int status = RunCommand("cd " + Quoted(temp.Path()) + "; " + Quoted(test::BinPath("bootdisk")) +
                                      " create --yes 99:iso=a.iso 99:iso=b.iso --msdos-folder " +
                                      Quoted(test::BinPath("demo-dos")) +
                                      " > out.txt 2>&1 & for i in $(seq 500); do [ -e a-3.iso ] && break; sleep 0.01; done;"
                                      " kill -TERM $!; wait $!; echo status=$?; cat out.txt",
                                  &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_THAT(output, HasSubstr("status=143")) << output;
    EXPECT_THAT(output, testing::ContainsRegex("interrupted: [0-9]+ of 198 copies made.")) << output;
    EXPECT_FALSE(Exists("b-99.iso")) << output;
    EXPECT_FALSE(test::HasScratchFile(temp.Path())) << output;
}

// A folder that takes no new file is found before the first copy: no disc is recorded first.
TEST_F(CreateCommand, AnOutputFolderThatTakesNoFileRefusesTheRunBeforeAnyCopy) {
    fs::create_directory(temp / "ro");
    fs::permissions(temp / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    auto run = Bootdisk("create --yes cd=sim: iso=ro/y.iso") + " < /dev/null";
    if (::geteuid() == 0) {
        // Root writes whatever the permissions say: the folder is mounted read-only instead.
        if (RunCommand("unshare --mount true") != 0) GTEST_SKIP() << "a read-only mount for root takes unshare";
        const auto ro = Quoted(temp / "ro");
        test::WriteFile(temp / "run.sh", test::Text("mount --bind " + ro + " " + ro + " && mount -o remount,ro,bind " +
                                                    ro + " " + ro + " && " + run + "\n"));
        run = "unshare --mount sh " + Quoted(temp / "run.sh");
    }
    std::string output;
    EXPECT_EQ(RunCommand(run, &output), 1) << output;
    EXPECT_THAT(output, HasSubstr("bootdisk create: row 2 (iso=ro/y.iso): cannot write ro/y.iso: "));
    EXPECT_THAT(output, Not(HasSubstr("copy 1 of 2")));
    EXPECT_TRUE(fs::is_empty(temp / "ro"));
}

// Ctrl+C on a terminal reaches the shell and its child alike; a shell ends its loop only when the
// child died of the signal, not when it exited on its own.
TEST_F(CreateCommand, CtrlCDuringAShellLoopEndsTheLoop) {
    const auto loop = "cd " + Quoted(temp.Path()) + "; for name in a b; do " + Quoted(test::BinPath("bootdisk")) +
                      " create --yes 99:iso=$name.iso --msdos-folder " + Quoted(test::BinPath("demo-dos")) +
                      " 2> $name.txt; done; touch after";
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    // In a group of its own, as a terminal's foreground job, and taking SIGINT whatever ctest does.
    posix_spawnattr_setsigdefault(&attributes, &interrupt);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    const char* argv[] = {"bash", "-c", loop.c_str(), nullptr};
    pid_t shell = 0;
    ASSERT_EQ(posix_spawnp(&shell, "bash", nullptr, &attributes, const_cast<char* const*>(argv), environ), 0);
    posix_spawnattr_destroy(&attributes);
    for (int i = 0; i < 1000 && !Exists("a-3.iso"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(-shell, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(shell, &status, 0), shell);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "shell status " << status;
    EXPECT_FALSE(Exists("b.iso"));
    EXPECT_FALSE(Exists("after"));
    const auto said = ReadWholeFile(temp / "a.txt");
    EXPECT_THAT(std::string(said.begin(), said.end()), testing::ContainsRegex("interrupted: [0-9]+ of 99 copies made."));
    EXPECT_FALSE(test::HasScratchFile(temp.Path()));
}

}  // namespace
}  // namespace bootdisk
