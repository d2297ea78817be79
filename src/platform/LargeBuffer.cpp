// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LargeBuffer.h"

#include <utility>

namespace bootdisk {

TLargeBuffer::TLargeBuffer(TLargeBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      reserved_(std::exchange(other.reserved_, 0)) {}

TLargeBuffer& TLargeBuffer::operator=(TLargeBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        reserved_ = std::exchange(other.reserved_, 0);
    }
    return *this;
}

TLargeBuffer::~TLargeBuffer() { Release(); }

}  // namespace bootdisk
