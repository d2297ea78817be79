// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LargeBuffer.h"

#include <windows.h>

#include <new>

namespace bootdisk {

// Committed memory reads as zero. Large pages need a privilege users lack: ordinary pages it is.
TLargeBuffer::TLargeBuffer(std::size_t size) : size_(size) {
    if (size == 0) return;
    data_ = static_cast<std::uint8_t*>(::VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!data_) throw std::bad_alloc();
    reserved_ = size;
}

void TLargeBuffer::Release() {
    if (data_) ::VirtualFree(data_, 0, MEM_RELEASE);
    data_ = nullptr;
    size_ = reserved_ = 0;
}

}  // namespace bootdisk
