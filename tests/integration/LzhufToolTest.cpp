// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace bootdisk::test {
namespace {

std::string Lzhuf(const std::string& mode, const std::string& in, const std::string& out) {
    return BinPath("lzhuf") + " " + mode + " '" + in + "' '" + out + "'";
}

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::vector<std::uint8_t> bytes(std::filesystem::file_size(path));
    FILE* file = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
    return bytes;
}

TEST(LzhufTool, PacksAndUnpacksAReferenceVector) {
    TTempDir dir;
    std::string output;
    ASSERT_EQ(RunCommand(Lzhuf("d", DataPath("lzhuf/e_text_gpl.lzh"), dir / "text"), &output), 0) << output;
    EXPECT_EQ(FileBytes(dir / "text"), ReadData("lzhuf/e_text_gpl.bin"));

    ASSERT_EQ(RunCommand(Lzhuf("e", dir / "text", dir / "text.lzh"), &output), 0) << output;
    EXPECT_EQ(FileBytes(dir / "text.lzh"), ReadData("lzhuf/e_text_gpl.lzh"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(LzhufTool, FailsClearlyAndLeavesNoOutput) {
    TTempDir dir;
    std::string output;
    EXPECT_NE(RunCommand(Lzhuf("d", dir / "missing.lzh", dir / "out"), &output), 0);
    EXPECT_THAT(output, testing::HasSubstr("missing.lzh"));

    output.clear();
    EXPECT_NE(RunCommand(Lzhuf("d", DataPath("lzhuf/edge_truncated_e.lzh"), dir / "out"), &output), 0);
    EXPECT_THAT(output, testing::HasSubstr("LZH stream is damaged"));

    output.clear();
    EXPECT_NE(RunCommand(BinPath("lzhuf") + " x a b", &output), 0);
    EXPECT_THAT(output, testing::HasSubstr("usage"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
}  // namespace bootdisk::test
