// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RowSpec.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace bootdisk {
namespace {

TEST(RowSpec, CountIsOnlyTheDigitsBeforeTheFirstColon) {
    auto row = ParseRowSpec("2:iso=a.iso");
    EXPECT_EQ(row.quantity, "2");
    EXPECT_EQ(row.kind, TRowKind::Iso);
    EXPECT_EQ(row.target, "a.iso");

    row = ParseRowSpec("cd=iscsi://127.0.0.1:3260/iqn.2026-01.test:writer/0");
    EXPECT_EQ(row.quantity, "1");
    EXPECT_EQ(row.kind, TRowKind::Cd);
    EXPECT_EQ(row.target, "iscsi://127.0.0.1:3260/iqn.2026-01.test:writer/0");

    row = ParseRowSpec("3:cd=sim:appendable");
    EXPECT_EQ(row.quantity, "3");
    EXPECT_EQ(row.target, "sim:appendable");

    EXPECT_EQ(ParseRowSpec("iso=C:\\out\\x.iso").target, "C:\\out\\x.iso");
    EXPECT_EQ(ParseRowSpec("floppy").target, std::nullopt);
    EXPECT_EQ(ParseRowSpec("99:floppy").quantity, "99");
}

TEST(RowSpec, MalformedRowsSayWhatIsWrong) {
    for (const char* bad : {"dvd=/dev/sr0", "100:floppy", "0:floppy", "00:floppy", "usb", "iso=", "2:", ":iso=a.iso", ""})
        EXPECT_THROW(ParseRowSpec(bad), std::invalid_argument) << bad;
}

TEST(RowSpec, LaterCopiesOfAFileRowGetNumberedNames) {
    EXPECT_EQ(CopyFileName("a.iso", 1), "a.iso");
    EXPECT_EQ(CopyFileName("a.iso", 2), "a-2.iso");
    EXPECT_EQ(CopyFileName("out.d/boot", 3), "out.d/boot-3");
    EXPECT_EQ(CopyFileName("dir/.hidden", 2), "dir/.hidden-2");
    EXPECT_EQ(CopyFileName("C:\\x\\disk.ISO", 10), "C:\\x\\disk-10.ISO");
}

}  // namespace
}  // namespace bootdisk
