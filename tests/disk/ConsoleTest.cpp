// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>

#include "disk/ConsoleMNGR.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using namespace std::chrono_literals;

// An executable shell script standing in for the command interpreter.
std::string WriteInterpreter(const test::TTempDir& dir, const std::string& body)
{
    const std::string path = dir / "interpreter.sh";
    std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' \"$1\" \"$2\" > '" << dir.Path() << "/args'\n" << body;
    ::chmod(path.c_str(), 0755);
    return path;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t OpenDescriptors()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

bool NoChildLeft() { return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

TEST(ConsoleLines, TakePeekAndDropSplitAtCarriageReturns)
{
    TConsoleApp app;
    app.OutputBuffer = "  first line \r\nsecond\r\n\tprompt? ";
    std::string line;
    app.TakeLine(line);
    EXPECT_EQ(line, "first line");
    EXPECT_EQ(app.OutputBuffer, "\nsecond\r\n\tprompt? ");
    app.PeekLine(line);
    EXPECT_EQ(line, "second");
    app.TakeLine(line);
    EXPECT_EQ(line, "second");

    app.TakeLine(line);  // no carriage return left: nothing taken
    EXPECT_EQ(line, "");
    EXPECT_EQ(app.OutputBuffer, "\n\tprompt? ");
    app.PeekLine(line);
    EXPECT_EQ(line, "prompt?");
    EXPECT_EQ(app.OutputBuffer, "\n\tprompt? ");
    app.DropLine();
    EXPECT_EQ(app.OutputBuffer, "");

    app.OutputBuffer = "a\rb\rc";
    app.DropLine();
    EXPECT_EQ(app.OutputBuffer, "ab\rc");
}

TEST(ConsoleProcess, NeverStartedIsNotFinished)
{
    TConsoleApp app;
    EXPECT_EQ(app.State, 0);
    EXPECT_FALSE(app.Finished());
    EXPECT_FALSE(app.ReadOutput());
}

TEST(ConsoleProcess, MissingInterpreterFailsToStartAndClosesItsPipes)
{
    const auto before = OpenDescriptors();
    TConsoleApp app;
    app.Create("/nonexistent/interpreter", "format A: /u");
    EXPECT_EQ(app.State, 1);
    EXPECT_EQ(app.LastError, static_cast<std::uint32_t>(ENOENT));
    EXPECT_EQ(app.CommandLine, "/nonexistent/interpreter /c format A: /u");
    EXPECT_FALSE(app.Finished());
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(ConsoleProcess, TalksThroughBothPipesAndReportsTheExitCode)
{
    test::TTempDir dir;
    const auto before = OpenDescriptors();
    {
        TConsoleApp app;
        app.Create(WriteInterpreter(dir, "IFS= read -r a\nprintf 'got %s\\r\\n' \"$a\"\necho oops >&2\nexit 7\n"),
                   "format A: /u");
        ASSERT_EQ(app.State, 2);
        EXPECT_EQ(app.LastError, 0U);
        app.SendInput("hello\n");
        ASSERT_TRUE(app.WaitFor(5s));
        EXPECT_TRUE(app.Finished());
        EXPECT_EQ(app.ExitCode(), 7U);
        app.DrainOutput();
        EXPECT_EQ(app.OutputBuffer, "got hello\r\noops\n");
        EXPECT_EQ(ReadText(dir / "args"), "/c\nformat A: /u\n");
        app.SendInput("nobody listens\n");  // must not end this program
    }
    EXPECT_TRUE(NoChildLeft());
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(ConsoleProcess, ReadingAnIdleChildDoesNotBlock)
{
    test::TTempDir dir;
    const auto before = OpenDescriptors();
    const auto start = std::chrono::steady_clock::now();
    {
        TConsoleApp app;
        app.Create(WriteInterpreter(dir, "sleep 30 &\nwait\n"), "format A: /u");
        ASSERT_EQ(app.State, 2);
        EXPECT_FALSE(app.ReadOutput());
        EXPECT_FALSE(app.WaitFor(50ms));
    }  // a child still running is ended with its own children
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(NoChildLeft());
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace bootdisk
