// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Memory for the few large working buffers (a decoded payload, a disc image): zero-filled and, where
// the system offers it, backed by large pages. Where each 4 KB page touched costs a page fault, as
// on virtual machines, a buffer of a few megabytes then costs two faults instead of hundreds.
#include <cstddef>
#include <cstdint>
#include <span>

namespace bootdisk {

class TLargeBuffer {
public:
    TLargeBuffer() = default;
    // Throws std::bad_alloc when the memory cannot be had.
    explicit TLargeBuffer(std::size_t size);
    ~TLargeBuffer();
    TLargeBuffer(TLargeBuffer&& other) noexcept;
    TLargeBuffer& operator=(TLargeBuffer&& other) noexcept;
    TLargeBuffer(const TLargeBuffer&) = delete;
    TLargeBuffer& operator=(const TLargeBuffer&) = delete;

    std::span<std::uint8_t> Bytes() { return {data_, size_}; }
    std::span<const std::uint8_t> Bytes() const { return {data_, size_}; }

private:
    void Release();

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t reserved_ = 0;  // what the system handed out, for giving it back
};

}  // namespace bootdisk
