// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Sha256.h"

#include <gtest/gtest.h>

#include <vector>

namespace bootdisk {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// Digests as sha256sum prints them: the standard's own examples, and lengths around the padding's
// edges (55 bytes is the most that leaves room for the length in the last block).
TEST(Sha256, MatchesSha256sum) {
    EXPECT_EQ(Sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex(Bytes("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex(Bytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    const std::pair<std::size_t, const char*> edges[] = {
        {55, "463eb28e72f82e0a96c0a4cc53690c571281131f672aa229e0d45ae59b598b59"},
        {56, "da2ae4d6b36748f2a318f23e7ab1dfdf45acdc9d049bd80e59de82a60895f562"},
        {63, "29af2686fd53374a36b0846694cc342177e428d1647515f078784d69cdb9e488"},
        {64, "fdeab9acf3710362bd2658cdc9a29e8f9c757fcf9811603a8c447cd1d9151108"},
        {65, "4bfd2c8b6f1eec7a2afeb48b934ee4b2694182027e6d0fc075074f2fabb31781"}};
    for (const auto& [length, digest] : edges) {
        std::vector<std::uint8_t> bytes(length);
        for (std::size_t i = 0; i < length; ++i) bytes[i] = std::uint8_t(i % 251);
        EXPECT_EQ(Sha256Hex(bytes), digest) << length << " bytes";
    }
}

TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
    const std::vector<std::uint8_t> million(1'000'000, 'a');
    TSha256 sha;
    for (std::size_t at = 0, step = 1; at < million.size(); at += step, step = step * 3 % 1000 + 1)
        sha.Update(std::span(million).subspan(at, std::min(step, million.size() - at)));
    EXPECT_EQ(sha.HexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

}  // namespace
}  // namespace bootdisk
