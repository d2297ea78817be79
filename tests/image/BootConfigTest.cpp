// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/BootConfig.h"

#include <gtest/gtest.h>

#include "base/DosText.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

constexpr std::string_view kRunning = "Running Halvex Quellmark 2005 ...";

TEST(Autoexec, DefaultsGiveSixLinesEndingInTheBareSanitizerCommand) {
    const TAutoexecTemplate autoexec(kRunning);
    EXPECT_EQ(autoexec.Text(LoadMouse(kDefaultOptions), ""),
              "@echo off\r\nprompt $p$g\r\ncd \\Korvane\r\ndata\\ctmouse\r\n"
              "@echo Running Halvex Quellmark 2005 ...\r\nKorvane \r\n");
}

TEST(Autoexec, DisablingTheMouseDropsOnlyTheDriverLine) {
    auto options = kDefaultOptions;
    options[11] = true;
    const TAutoexecTemplate autoexec(kRunning);
    EXPECT_EQ(autoexec.Text(LoadMouse(options), "/auto"),
              "@echo off\r\nprompt $p$g\r\ncd \\Korvane\r\n"
              "@echo Running Halvex Quellmark 2005 ...\r\nKorvane /auto\r\n");
    EXPECT_EQ(IniLines(options), IniLines(kDefaultOptions));
}

TEST(Autoexec, LongParametersAreCutOnlyByTheDirectWriter) {
    const std::string parameters(300, 'p');
    const auto direct = DirectFileText(AutoexecLines(kRunning, true, parameters));
    EXPECT_NE(direct.find("\r\nKorvane " + std::string(247, 'p') + "\r\n"), std::string::npos);
    EXPECT_EQ(direct.find(std::string(248, 'p')), std::string::npos);

    const auto image = TAutoexecTemplate(kRunning).Text(true, parameters);
    EXPECT_NE(image.find("\r\nKorvane " + parameters + "\r\n"), std::string::npos);
}

// DOS shows the echoed line in its own code page, 850, and what 850 lacks in plain ASCII; the
// parameters stay in Windows-1252, as the sanitizer reads them. Every character of 850 is held to
// iconv's table of it.
TEST(Autoexec, TheEchoedLineIsInCodePage850AndTheParametersInWindows1252) {
    const auto lines = AutoexecLines("L\u00E4uft \u2026 f\u00FCr 5 \u20AC \u2122 \u03A9", false, "/caf\xE9");
    EXPECT_EQ(lines[3], "@echo L\x84uft ... f\x81r 5 EUR TM ?");
    EXPECT_EQ(lines[4], "Korvane /caf\xE9");

    const test::TTempDir temp;
    std::vector<std::uint8_t> high;
    for (int b = 0x80; b < 0x100; ++b) high.push_back(std::uint8_t(b));
    test::WriteFile(temp / "cp850.bin", high);
    std::string utf8;
    if (test::RunCommand("iconv -f CP850 -t UTF-8 " + test::Quoted(temp / "cp850.bin"), &utf8) != 0)
        GTEST_SKIP() << "iconv cannot run here: " << utf8;
    EXPECT_EQ(Utf8ToCp850(utf8), std::string(high.begin(), high.end()));
}

TEST(Autoexec, ParametersWithLineBreaksOrEndOfFileMarksAreRefused) {
    EXPECT_TRUE(ParametersAreValid(""));
    EXPECT_TRUE(ParametersAreValid("/m=3 /log \"a b\""));
    EXPECT_FALSE(ParametersAreValid("a\rb"));
    EXPECT_FALSE(ParametersAreValid("a\nb"));
    EXPECT_FALSE(ParametersAreValid("a\x1A"));
}

TEST(KorvaneIni, DefaultsAndAllUnchecked) {
    EXPECT_EQ(DirectFileText(IniLines(kDefaultOptions)),
              "O1=1\r\nO2=0\r\nO3=0\r\nO4=1\r\nO5=1\r\nO6=1\r\nO7=0\r\nO8=0\r\nO9=1\r\nO10=0\r\n"
              "O11=1\r\nL=0\r\n");
    TOptionStates none{};
    EXPECT_EQ(DirectFileText(IniLines(none)),
              "O1=0\r\nO2=0\r\nO3=0\r\nO4=0\r\nO5=0\r\nO6=0\r\nO7=0\r\nO8=0\r\nO9=0\r\nO10=0\r\n"
              "O11=0\r\nL=0\r\n");
    EXPECT_EQ(ImageIniText(OptionsString(kDefaultOptions)), DirectFileText(IniLines(kDefaultOptions)));
}

TEST(KorvaneIni, ImageWriterCountsMissingPositionsAsChecked) {
    EXPECT_EQ(ImageIniText("00000"),
              "O1=0\r\nO2=0\r\nO3=0\r\nO4=0\r\nO5=0\r\nO6=1\r\nO7=1\r\nO8=1\r\nO9=1\r\nO10=1\r\n"
              "O11=1\r\nL=0\r\n");
}

TEST(OptionsString, OneCharacterPerOptionInListOrder) {
    EXPECT_EQ(OptionsString(kDefaultOptions), "100111001010");
}

}  // namespace
}  // namespace bootdisk
