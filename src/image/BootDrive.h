// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drive number in the boot sector tells the boot code which BIOS drive to read. A floppy image
// written to a USB drive boots as the first hard disk, so its copy carries 80h instead of 00h.
#include <cstddef>
#include <cstdint>
#include <span>

namespace bootdisk {

inline constexpr std::size_t kBootDriveNumberOffset = 36;
inline constexpr std::uint8_t kFirstHardDisk = 0x80;

inline void MarkForHardDiskBoot(std::span<std::uint8_t> image) {
    if (image.size() > kBootDriveNumberOffset) image[kBootDriveNumberOffset] = kFirstHardDisk;
}

}  // namespace bootdisk
