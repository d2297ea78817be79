// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The optional ISO 9660 primary volume of the boot CD, so that tools which expect a real ISO 9660
// image open it and show the boot floppy as a file.
#include <cstdint>
#include <string_view>

#include "base/Streams.h"

namespace bootdisk {

// Turns the 740-sector boot CD image that WriteBootCdImage left in image into an ISO 9660 volume:
// a primary volume descriptor in place of the lead-in descriptor of sector 16, and after the floppy
// image a root directory, its path tables and a short README.TXT. The root lists the floppy image
// as BOOT.IMG (the very sectors El Torito boots from) and README.TXT. The boot record and catalogue
// stay as they are. title names the volume and heads the README; the dates are epochSeconds (UTC).
// Throws std::invalid_argument when image is not a boot CD image.
void AddPrimaryVolume(TStream& image, std::string_view title, std::int64_t epochSeconds);

}  // namespace bootdisk
