// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Streams.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/Errors.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

// A write that falls short names the file and gives the system's reason, not a bare "write error";
// a read that runs out says the file ends early.
TEST(FileStream, AShortTransferNamesThePathAndTheSystemsReason) {
    TFileStream full("/dev/full", FileMode::Create);
    const std::vector<std::uint8_t> bytes(1 << 20);
    try {
        full.WriteBuffer(bytes.data(), bytes.size());
        FAIL() << "a write to /dev/full succeeded";
    } catch (const EStreamError& error) {
        EXPECT_STREQ(error.what(), "Cannot write /dev/full: No space left on device");
        EXPECT_EQ(error.Reason(), "No space left on device");
    }

    test::TTempDir dir;
    const auto path = dir / "short.bin";
    test::WriteFile(path, {1, 2, 3});
    TFileStream file(path, FileMode::Read);
    std::uint8_t buffer[4];
    try {
        file.ReadBuffer(buffer, sizeof buffer);
        FAIL() << "read 4 bytes from a 3-byte file";
    } catch (const EStreamError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot read " + path + ": it ends early");
    }

    TMemoryStream memory;
    EXPECT_THROW(memory.ReadBuffer(buffer, 1), EStreamError);
}

}  // namespace
}  // namespace bootdisk
