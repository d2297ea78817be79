// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/BootConfig.h"

#include <gtest/gtest.h>

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
