// SPDX-License-Identifier: GPL-3.0-or-later
// The ASPI request blocks byte by byte, as the ASPI for Win32 layout places every field: written
// out here rather than read from the offsets the code uses, so a field at a wrong place shows.
#include <gtest/gtest.h>

#include <vector>

#include "optical/AspiBlock.h"
#include "optical/ScsiCommands.h"

namespace bootdisk {
namespace {

template <typename TBlock>
std::vector<std::uint8_t> Bytes(const TBlock& block) {
    return {block.begin(), block.end()};
}

std::vector<std::uint8_t> Zeros(std::size_t size, std::initializer_list<std::pair<std::size_t, std::uint8_t>> set) {
    std::vector<std::uint8_t> bytes(size);
    for (const auto& [at, value] : set) bytes.at(at) = value;
    return bytes;
}

TEST(AspiBlock, ExecuteRequestsInTheirPublishedLayout) {
    std::uint8_t answer[34];
    // Cmd 02h, HaId 2, Flags event notify + data in, Target 5, Lun 1, BufLen 34, SenseLen 14,
    // CDBLen 10, the CDB from byte 48; the buffer and event addresses are the binding's.
    EXPECT_EQ(Bytes(MakeExec(ReadDiscInformation(answer), {2, 5, 1})),
              Zeros(84, {{0, 0x02}, {2, 2}, {3, 0x48}, {8, 5}, {9, 1}, {12, 34}, {20, 14}, {21, 10},
                         {48, 0x51}, {56, 34}}));

    std::vector<std::uint8_t> data(10 * 2048);
    EXPECT_EQ(Bytes(MakeExec(Write10(0x12345, 10, data.data()), {0, 1, 0})),
              Zeros(84, {{0, 0x02}, {3, 0x50}, {8, 1}, {12, 0x00}, {13, 0x50}, {20, 14}, {21, 10}, {48, 0x2A},
                         {51, 0x01}, {52, 0x23}, {53, 0x45}, {56, 10}}));

    // Without data: no direction, no length.
    EXPECT_EQ(Bytes(MakeExec(TestUnitReady(), {0, 1, 0})),
              Zeros(84, {{0, 0x02}, {3, 0x40}, {8, 1}, {20, 14}, {21, 6}}));
}

TEST(AspiBlock, AdapterDeviceTypeAndAbortRequests) {
    EXPECT_EQ(Bytes(MakeHaInquiry(3)), Zeros(60, {{2, 3}}));
    TSrbGetDevType type{};
    PrepareGetDevType(type, {1, 6, 2});
    EXPECT_EQ(Bytes(type), Zeros(12, {{0, 0x01}, {2, 1}, {8, 6}, {9, 2}}));
    EXPECT_EQ(Bytes(MakeAbort(1)), Zeros(12, {{0, 0x03}, {2, 1}}));
}

}  // namespace
}  // namespace bootdisk
