// SPDX-License-Identifier: GPL-3.0-or-later
// RunFormat through the host's own command interpreter (%COMSPEC%, cmd), with a format.bat standing
// in for `format`: cmd finds it in the current folder before any on the path.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "disk/WinFormat.h"
#include "platform/win32/Utf8.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

class FormatCmd : public testing::Test {
protected:
    FormatCmd() { std::filesystem::current_path(dir.Path()); }
    ~FormatCmd() override { std::filesystem::current_path(previous); }

    std::uint8_t Run(const std::string& batch, bool withSystem) {
        std::ofstream(dir / "format.bat", std::ios::binary) << "@echo off\r\n" << batch;
        return RunFormat('A', withSystem, [this](const std::string& text, double f) { calls.emplace_back(text, f); });
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    const std::filesystem::path previous = std::filesystem::current_path();
    test::TTempDir dir;
    std::vector<std::pair<std::string, double>> calls;
};

TEST_F(FormatCmd, PromptsAnsweredProgressAndOutcomeThroughCmd) {
    ASSERT_FALSE(DefaultFormatHost().Comspec.empty());
    const auto result = Run(
        "echo %1 %2 %3>args.txt\r\n"
        "echo   45 percent completed.\r\n"
        "set answer=\r\n"
        "set /p answer=Insert new diskette and press ENTER when ready...\r\n"
        "echo [%answer%]>>answers.txt\r\n"
        "set answer=\r\n"
        "set /p answer=Force a DISMOUNT on this volume? (Y/N) \r\n"
        "echo [%answer%]>>answers.txt\r\n"
        "set answer=\r\n"
        "set /p answer=Format another (Y/N)? \r\n"
        "echo [%answer%]>>answers.txt\r\n"
        "echo Format complete.\r\n",
        true);
    EXPECT_EQ(result, 3);
    EXPECT_EQ(Read("args.txt"), "A: /u /s\r\n");
    EXPECT_EQ(Read("answers.txt"), "[]\r\n[y]\r\n[n]\r\n");
    bool percent = false;
    for (const auto& [text, fraction] : calls) percent |= fraction == 45.0 / 120.0;
    EXPECT_TRUE(percent);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().second, 1.0);
}

TEST_F(FormatCmd, BadSectorsAndExitCodesClassify) {
    EXPECT_EQ(Run("echo 512 bytes in bad sectors.\r\nexit /b 0\r\n", false), 2);
    EXPECT_EQ(Run("echo 512 bytes in bad sectors.\r\nexit /b 4\r\n", false), 1);
    EXPECT_EQ(Run("echo Drive A: is not ready.\r\nexit /b 0\r\n", false), 1);
}

// An interpreter in a folder named outside the ANSI code page: %COMSPEC% is read in its wide form.
TEST_F(FormatCmd, AnInterpreterInAFolderNamedOutsideTheAnsiCodePageRuns) {
    const std::wstring comspec = Widen(DefaultFormatHost().Comspec);
    const auto folder = std::filesystem::path(dir.Path()) / L"\u03A9mega";
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file(comspec, folder / L"cmd.exe");
    // The C runtime's copy of the environment as well as the system's, as a parent would pass it.
    _wputenv((L"COMSPEC=" + (folder / L"cmd.exe").wstring()).c_str());
    const auto result = Run("echo Format complete.\r\n", false);
    _wputenv((L"COMSPEC=" + comspec).c_str());
    EXPECT_EQ(result, 3);
}

}  // namespace
}  // namespace bootdisk
