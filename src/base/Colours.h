// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours as the web's accessibility guidelines weigh them: a text is read by most when it stands
// out 4.5:1 from its background. Both wizards draw coloured texts (links, titles) by these rules.

namespace bootdisk {

struct TRgb {
    double red = 0, green = 0, blue = 0;  // 0 to 1
};

inline constexpr double kReadableContrast = 4.5;

TRgb Mix(TRgb from, TRgb to, double share);
// 1 (none) to 21 (black on white).
double ContrastRatio(TRgb a, TRgb b);
// colour moved towards text, in tenths, until it reads on both backgrounds as drawn with eight bits
// a channel; text when no step does.
TRgb Readable(TRgb colour, TRgb text, TRgb background, TRgb other);

}  // namespace bootdisk
