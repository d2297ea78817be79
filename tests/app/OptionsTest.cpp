// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Options.h"

#include <gtest/gtest.h>

namespace bootdisk {
namespace {

TEST(Options, OsListOffersMsDosOnlyOnWindowsReleasesThatCarryIt) {
    const std::vector<std::string> both = {"Ms-Dos", "Rx-Dos"}, rxOnly = {"Rx-Dos"};
    for (const TWinVersion version : {TWinVersion{1, 4, 0}, {1, 4, 10}, {1, 4, 90}, {2, 5, 1}, {2, 5, 2}})
        EXPECT_EQ(OsChoices(version, "Ms-Dos", "Rx-Dos"), both);
    for (const TWinVersion version : {TWinVersion{2, 5, 0}, {2, 4, 0}, {2, 0, 0}, {1, 4, 11}})
        EXPECT_EQ(OsChoices(version, "Ms-Dos", "Rx-Dos"), rxOnly);
}

// Every Windows release gives a CD MS-DOS, Windows 2000 too (from a folder); only a host without
// Windows lets the CD take the chosen system.
TEST(Options, OnlyAHostWithoutWindowsLetsACdBootRxDos) {
    for (const TWinVersion version : {TWinVersion{1, 4, 10}, {2, 5, 0}, {2, 5, 1}, {2, 6, 1}, {2, 4, 0}}) {
        EXPECT_FALSE(CdOffersOsChoice(version));
        EXPECT_TRUE(CdUsesMsDos(version, false));
    }
    const TWinVersion noWindows{2, 0, 0};  // the Linux host's triple
    EXPECT_TRUE(CdOffersOsChoice(noWindows));
    EXPECT_FALSE(CdUsesMsDos(noWindows, false));
    EXPECT_TRUE(CdUsesMsDos(noWindows, true));
}

TEST(Options, OptionsStringParsesOnlyTwelveBits) {
    TOptionStates states = kDefaultOptions;
    EXPECT_TRUE(ParseOptionsString("010101010101", states));
    EXPECT_EQ(OptionsString(states), "010101010101");
    EXPECT_FALSE(ParseOptionsString("01010101010", states));
    EXPECT_FALSE(ParseOptionsString("01010101010x", states));
    EXPECT_EQ(OptionsString(states), "010101010101");  // a refused text changes nothing
}

}  // namespace
}  // namespace bootdisk
