// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sense data a drive returns with CHECK CONDITION, and its reason in words: the sense key and
// the additional sense code, the one thing that tells whether the disc, the drive or the medium
// type is at fault.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace bootdisk {

// The sense bytes as the drive returned them (fixed or descriptor format); empty when there were none.
using TSenseBytes = std::vector<std::uint8_t>;

// The sense keys the program acts on.
inline constexpr std::uint8_t kSenseIllegalRequest = 0x05, kSenseUnitAttention = 0x06;

struct TSense {
    std::uint8_t key = 0;   // 0..15
    std::uint8_t asc = 0;   // additional sense code
    std::uint8_t ascq = 0;  // its qualifier
};

// Fixed-format sense data (response code 70h) holding key, ASC and ASCQ.
TSenseBytes FixedSense(TSense sense);

// Key, ASC and ASCQ of fixed- or descriptor-format sense data; nothing for bytes of another
// response code or too short to hold them.
std::optional<TSense> DecodeSense(std::span<const std::uint8_t> bytes);

// "medium error: write error (03/0C/00)"; a code missing from the table of common ones is named by
// its key alone: "medium error (03/99/01)".
std::string SenseText(TSense sense);

// SenseText of the decoded bytes; empty when they do not decode.
std::string DescribeSense(std::span<const std::uint8_t> bytes);

}  // namespace bootdisk
