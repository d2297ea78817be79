// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <utility>
#include <vector>

#include "disk/WinFormat.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using namespace std::chrono_literals;

// A command interpreter standing in for the host's: it records its arguments, plays the part of
// `format` from a script, and records every answer it reads.
class TFakeFormat {
public:
    // say 'text' prints a line ended by CR LF; ask reads one answer.
    explicit TFakeFormat(const std::string& script)
    {
        const std::string path = dir_ / "command.sh";
        std::ofstream(path) << "#!/bin/sh\n"
                            << "printf '%s\\n' \"$1\" \"$2\" > '" << dir_.Path() << "/args'\n"
                            << "say() { printf '%s\\r\\n' \"$1\"; }\n"
                            << "ask() { IFS= read -r a; printf '%s|' \"$a\" >> '" << dir_.Path() << "/answers'; }\n"
                            << script;
        ::chmod(path.c_str(), 0755);
        host_.Comspec = path;
    }

    std::uint8_t Run(char drive, bool withSystem)
    {
        return RunFormat(drive, withSystem,
                         [this](const std::string& text, double fraction) { calls_.emplace_back(text, fraction); },
                         host_);
    }

    std::string Answers() const { return Read("answers"); }
    std::string Args() const { return Read("args"); }
    bool Reported(double fraction) const
    {
        for (const auto& call : calls_)
            if (call.second == fraction) return true;
        return false;
    }
    const std::vector<std::pair<std::string, double>>& Calls() const { return calls_; }
    TFormatHost& Host() { return host_; }

private:
    std::string Read(const std::string& name) const
    {
        std::ifstream in(dir_ / name);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    test::TTempDir dir_;
    TFormatHost host_;
    std::vector<std::pair<std::string, double>> calls_;
};

TEST(RunFormat, CommandLineNamesTheDriveAndTheSystemTransfer)
{
    TFakeFormat withSystem("exit 0\n");
    EXPECT_EQ(withSystem.Run('A', true), 3);
    EXPECT_EQ(withSystem.Args(), "/c\nformat A: /u /s\n");

    TFakeFormat plain("exit 0\n");
    EXPECT_EQ(plain.Run('B', false), 3);
    EXPECT_EQ(plain.Args(), "/c\nformat B: /u\n");
}

TEST(RunFormat, MissingInterpreterGivesNotStarted)
{
    TFormatHost host;
    EXPECT_EQ(RunFormat('A', false, nullptr, host), 0);
    host.Comspec = "/nonexistent/command.com";
    EXPECT_EQ(RunFormat('A', false, nullptr, host), 0);
}

TEST(RunFormat, PercentLinesMoveTheFractionScaledForTheSystemTransfer)
{
    const std::string script = "say '  45 Percent completed.'\nsay 'Format complete.'\n";
    TFakeFormat withSystem(script);
    EXPECT_EQ(withSystem.Run('A', true), 3);
    EXPECT_TRUE(withSystem.Reported(45.0 / 120.0));

    TFakeFormat plain("say '45 PERCENT completed.'\nsay 'x percent'\n");
    EXPECT_EQ(plain.Run('A', false), 3);
    EXPECT_TRUE(plain.Reported(45.0 / 100.0));
    EXPECT_TRUE(plain.Reported(0.0));
    ASSERT_FALSE(plain.Calls().empty());
    EXPECT_EQ(plain.Calls().back().second, 1.0);
    bool lineShown = false;
    for (const auto& call : plain.Calls()) lineShown |= call.first == "45 PERCENT completed." && call.second == 0.45;
    EXPECT_TRUE(lineShown);
}

TEST(RunFormat, PromptsAreAnswered)
{
    TFakeFormat format(
        "say 'Insert new diskette for drive A:'\n"
        "printf 'and press ENTER when ready...'\nask\n"
        "printf 'QuickFormat another (Y/N)?'\nask\n"
        "printf 'Force a DISMOUNT on this volume? (Y/N) '\nask\n"
        "say 'Format complete.'\n");
    EXPECT_EQ(format.Run('A', false), 3);
    EXPECT_EQ(format.Answers(), "\r|n\r|y\r|");
    bool promptShown = false;
    for (const auto& call : format.Calls()) promptShown |= call.first == "and press ENTER when ready...";
    EXPECT_TRUE(promptShown);
}

TEST(RunFormat, KeywordsClassifyTheOutcome)
{
    struct TCase {
        const char* script;
        std::uint8_t result;
    };
    const TCase cases[] = {
        {"say 'Drive A: is NOT READY.'\nexit 0\n", 1},
        {"say 'Writing error on track 0'\nexit 0\n", 1},
        {"say '512 bytes in bad sectors.'\nexit 0\n", 2},
        {"say '512 bytes in bad sectors.'\nexit 4\n", 1},
        {"say 'Bad sector: read error'\nexit 0\n", 1},
        {"say 'Not ready'\nsay 'bad sectors'\nexit 0\n", 2},  // the last keyword counts
        {"printf 'Disk error'\nexit 0\n", 1},                  // an unterminated last word too
        {"say 'Format complete.'\nexit 5\n", 1},
        {"say 'Format complete.'\nexit 0\n", 3},
    };
    for (const auto& c : cases) {
        TFakeFormat format(c.script);
        EXPECT_EQ(format.Run('A', false), c.result) << c.script;
    }
}

TEST(RunFormat, HungFormatIsEndedAndFails)
{
    TFakeFormat format("say '10 percent completed.'\nsleep 30 &\nwait\n");
    format.Host().TimeLimit = 200ms;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(format.Run('A', true), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD);
}

}  // namespace
}  // namespace bootdisk
