// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OutputFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace bootdisk {
namespace {

// An interrupted run removes its scratch file while the file is still open for writing; on Windows
// that works only when the file was opened to allow it.
TEST(OutputFile, ANewFileCanBeRemovedWhileItIsOpen) {
    test::TTempDir dir;
    const auto path = dir / ".bootdisk-scratch";
    {
        auto file = TNewFile::Create(path);
        ASSERT_TRUE(file.has_value());
        file->Write("half", 4);
        RemoveFileQuietly(path);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace bootdisk
