// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SHA-256, so that the record of media made names the payload and each written image by a
// checksum anyone can recompute with sha256sum.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace bootdisk {

class TSha256 {
public:
    TSha256();
    void Update(std::span<const std::uint8_t> bytes);
    // The digest as 64 lower-case hex digits; the object is spent afterwards.
    std::string HexDigest();

private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> block_{};
    std::size_t filled_ = 0;
    std::uint64_t length_ = 0;
};

class TStream;

std::string Sha256Hex(std::span<const std::uint8_t> bytes);
// The checksum of the stream's whole content, read in pieces from its start: a file may be
// anything the user names, so it is never read into memory whole.
std::string Sha256Hex(TStream& stream);

}  // namespace bootdisk
