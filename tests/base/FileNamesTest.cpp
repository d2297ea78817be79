// SPDX-License-Identifier: GPL-3.0-or-later
// Names outside ASCII reach the file system as the same characters on every host: the program's
// strings are UTF-8, Windows takes its names in UTF-16.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/Streams.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

TEST(FileNames, AFileStreamNamedOutsideAsciiIsFoundUnderThatName) {
    test::TTempDir dir;
    const std::string name = dir / "\xE2\x82\xACuro \xC3\xA9t\xC3\xA9.img";  // "€uro été.img"
    {
        TFileStream file(name, FileMode::Create);
        file.WriteBuffer("boot", 4);
        file.Close();
    }
    const auto unicode = std::filesystem::path(dir.Path()) / std::filesystem::path(u8"\u20ACuro \u00E9t\u00E9.img");
    EXPECT_EQ(std::filesystem::file_size(unicode), 4u);
    TFileStream back(name, FileMode::Read);
    EXPECT_EQ(back.Size(), 4u);
}

}  // namespace
}  // namespace bootdisk
