// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sector device that the FAT12 file layer works on, and the in-memory 1.44 MB floppy image.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "base/Streams.h"
#include "image/Fat12Format.h"
#include "platform/LargeBuffer.h"

namespace bootdisk {

// What keeps a boot sector from describing the 1.44 MB layout the file layer is built for, naming
// the field ("sectors per cluster (byte 13) is 2 instead of 1"); nothing when it fits.
std::optional<std::string> BootSectorProblem(std::span<const std::uint8_t> bootSector);
// The same for an image of that length starting with those bytes: it must be as long as the floppy.
std::optional<std::string> FloppyImageProblem(std::uint64_t length, std::span<const std::uint8_t> start);

// A floppy seen as numbered 512-byte sectors. Transfers return the number of sectors moved,
// 0 on failure; the base device fails every transfer.
class TGenericFloppy {
public:
    virtual ~TGenericFloppy() = default;

    virtual std::uint32_t WriteSectorsCHS(std::uint32_t head, std::uint32_t cylinder, std::uint32_t sector,
                                          const std::uint8_t* buffer, std::uint32_t count);
    virtual std::uint32_t WriteSectors(std::uint32_t lba, const std::uint8_t* buffer, std::uint32_t count);
    virtual std::uint32_t ReadSectorsCHS(std::uint32_t head, std::uint32_t cylinder, std::uint32_t sector,
                                         std::uint8_t* buffer, std::uint32_t count);
    virtual std::uint32_t ReadSectors(std::uint32_t lba, std::uint8_t* buffer, std::uint32_t count);
    // The 12-bit entry of cluster in the first FAT; an end-of-chain mark when the entry cannot be read.
    virtual std::uint16_t GetFATEntry(std::uint32_t cluster);
    // Sets the entry in both FATs; returns the sectors written by the last write, 0 on any failure.
    virtual std::uint32_t SetFATEntry(std::uint32_t cluster, std::uint16_t value);
};

// The whole 1.44 MB image in memory; transfers outside its 2880 sectors fail.
class TVirtualFloppy : public TGenericFloppy {
public:
    // An image of its own, all zero.
    TVirtualFloppy();
    // The image in bytes the caller keeps, such as the floppy area of a CD image, taken as they are
    // until an image is loaded over them.
    explicit TVirtualFloppy(std::span<std::uint8_t, fat12::kImageSize> storage);
    // A move leaves the image bytes where they are, which a copy could not: the image may live
    // outside the object.
    TVirtualFloppy(TVirtualFloppy&&) = default;
    TVirtualFloppy& operator=(TVirtualFloppy&&) = default;
    TVirtualFloppy(const TVirtualFloppy&) = delete;
    TVirtualFloppy& operator=(const TVirtualFloppy&) = delete;

    std::uint32_t WriteSectors(std::uint32_t lba, const std::uint8_t* buffer, std::uint32_t count) override;
    std::uint32_t ReadSectors(std::uint32_t lba, std::uint8_t* buffer, std::uint32_t count) override;

    // Reads up to count bytes (at most the image size) from the stream's position into the image;
    // the rest is as on an empty FAT12 disk: zero but the media bytes. Returns the number read.
    std::uint64_t LoadFromStream(TStream& stream, std::uint64_t count);

    std::span<const std::uint8_t> Image() const { return image_; }
    std::span<std::uint8_t> Image() { return image_; }

private:
    // Off the stack: the image is too large for a thread's stack, where an owner may live.
    TLargeBuffer own_;
    std::span<std::uint8_t, fat12::kImageSize> image_;
};

}  // namespace bootdisk
