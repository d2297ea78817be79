// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How far a text stands out in an area of a picture, whatever toolkit drew it.
#include <cstdint>
#include <map>

namespace bootdisk::test {

// The colours of an area, 0xRRGGBB each with its count of pixels: the most frequent one is the
// background; the text stands out from it as far as its third most different pixel does (a stray
// pixel or two is no text).
struct TAreaColours {
    std::uint32_t background = 0;
    double contrast = 21.0;
};
TAreaColours MeasureArea(const std::map<std::uint32_t, int>& counts);

// The contrast ratio of two 0xRRGGBB colours, 1 to 21.
double ContrastRatio(std::uint32_t a, std::uint32_t b);

}  // namespace bootdisk::test
