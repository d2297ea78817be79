// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a fuzz input as a stream of small decisions: each call takes what it needs from the
// front and gives zeros once the input is used up, so every input is a valid run.
#include <cstddef>
#include <cstdint>
#include <span>

namespace bootdisk::fuzz {

class TFuzzInput {
public:
    TFuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    bool Empty() const { return position_ >= bytes_.size(); }
    std::uint8_t Byte() { return Empty() ? 0 : bytes_[position_++]; }
    std::uint32_t Number(unsigned bytes) {
        std::uint32_t value = 0;
        for (unsigned i = 0; i < bytes; ++i) value = value << 8 | Byte();
        return value;
    }
    // Up to count bytes, fewer at the end of the input.
    std::span<const std::uint8_t> Take(std::size_t count) {
        const auto n = count < bytes_.size() - position_ ? count : bytes_.size() - position_;
        const auto taken = bytes_.subspan(Empty() ? bytes_.size() : position_, Empty() ? 0 : n);
        position_ += taken.size();
        return taken;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace bootdisk::fuzz
