// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "image/ElToritoFormat.h"
#include "platform/LargeBuffer.h"

namespace bootdisk {

// The 740-sector boot CD image in one buffer, zero at first. The floppy image is built in place at
// sector 20 (Floppy()), PutHead puts the sectors before it, and Bytes() hands the whole on in one
// piece: no copy of the floppy image on its way to the writer or the file.
class TBootCdImage {
public:
    // Sectors 20..739, as they are until the floppy image is built there.
    std::span<std::uint8_t, eltorito::kFloppySize> Floppy();
    // Sectors 0..19: the volume descriptors and the boot catalogue, which names catalogId.
    void PutHead(std::string_view catalogId);
    std::span<const std::uint8_t> Bytes() const { return bytes_.Bytes(); }

private:
    TLargeBuffer bytes_{eltorito::kImageSize};
};

}  // namespace bootdisk
