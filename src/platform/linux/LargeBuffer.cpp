// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LargeBuffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace bootdisk {
namespace {

// The large page size of x86-64 and of most other systems; where it differs, the advice still
// asks for large pages and only the alignment is less than ideal.
constexpr std::size_t kLargePage = 2u << 20;

}  // namespace

// The mapping is aligned to a large page and the system is advised to back it with large pages.
// Fresh anonymous memory reads as zero.
TLargeBuffer::TLargeBuffer(std::size_t size) : size_(size) {
    if (size == 0) return;
    const std::size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
    const std::size_t mapped = rounded + kLargePage;
    void* map = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) throw std::bad_alloc();
    auto* start = static_cast<std::uint8_t*>(map);
    auto* aligned = reinterpret_cast<std::uint8_t*>(
        (reinterpret_cast<std::uintptr_t>(start) + kLargePage - 1) / kLargePage * kLargePage);
    if (aligned != start) ::munmap(start, std::size_t(aligned - start));
    if (const std::size_t tail = std::size_t(start + mapped - (aligned + rounded)); tail != 0)
        ::munmap(aligned + rounded, tail);
    ::madvise(aligned, rounded, MADV_HUGEPAGE);
    data_ = aligned;
    reserved_ = rounded;
}

void TLargeBuffer::Release() {
    if (data_) ::munmap(data_, reserved_);
    data_ = nullptr;
    size_ = reserved_ = 0;
}

}  // namespace bootdisk
