// SPDX-License-Identifier: GPL-3.0-or-later
// The user's languages as gettext reads them from the environment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Host.h"

namespace bootdisk {
namespace {

using TLanguages = std::vector<std::string>;

// The languages asked for with only the given variables of the four set.
TLanguages With(std::vector<std::pair<const char*, const char*>> variables) {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) ::unsetenv(name);
    for (const auto& [name, value] : variables) ::setenv(name, value, 1);
    return UserLanguages();
}

// LC_ALL before LC_MESSAGES before LANG, an empty one as if unset; LANGUAGE's list comes first,
// except in the C locale, C.UTF-8 included, which asks for the untranslated texts.
TEST(UserLanguages, TheMessageLocaleGoesByGettextsOrder) {
    EXPECT_EQ(With({{"LC_ALL", "de_DE.UTF-8"}, {"LC_MESSAGES", "fr_FR.UTF-8"}, {"LANG", "en_US.UTF-8"}}),
              TLanguages{"de_DE.UTF-8"});
    EXPECT_EQ(With({{"LC_MESSAGES", "fr_FR.UTF-8"}, {"LANG", "de_DE.UTF-8"}}), TLanguages{"fr_FR.UTF-8"});
    EXPECT_EQ(With({{"LC_ALL", ""}, {"LANG", "de_AT.UTF-8"}}), TLanguages{"de_AT.UTF-8"});
    EXPECT_EQ(With({{"LANGUAGE", "de::fr"}, {"LANG", "en_GB.UTF-8"}}), (TLanguages{"de", "fr", "en_GB.UTF-8"}));
    EXPECT_EQ(With({{"LANGUAGE", "de"}, {"LANG", "C.UTF-8"}}), TLanguages{});
    EXPECT_EQ(With({{"LANGUAGE", "de"}, {"LC_ALL", "C"}, {"LANG", "de_DE.UTF-8"}}), TLanguages{});
    EXPECT_EQ(With({{"LANGUAGE", "de"}, {"LC_MESSAGES", "POSIX"}}), TLanguages{});
    EXPECT_EQ(With({{"LANGUAGE", "de"}}), TLanguages{});
}

}  // namespace
}  // namespace bootdisk
