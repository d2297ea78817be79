// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string_view>

#include "base/Streams.h"

namespace bootdisk {

// Builds the 740-sector boot CD image around the floppy image read from source's position
// (zero where the source runs short) and writes it to dest.
void WriteBootCdImage(TStream& source, TStream& dest, std::string_view catalogId);

}  // namespace bootdisk
