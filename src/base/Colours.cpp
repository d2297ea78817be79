// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Colours.h"

#include <algorithm>
#include <cmath>

namespace bootdisk {
namespace {

double Luminance(TRgb colour) {
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) + 0.0722 * linear(colour.blue);
}

// As drawn: eight bits a channel. A colour that reads only before its rounding does not.
TRgb Drawn(TRgb colour) {
    const auto channel = [](double c) { return std::round(c * 255) / 255; };
    return {channel(colour.red), channel(colour.green), channel(colour.blue)};
}

}  // namespace

TRgb Mix(TRgb from, TRgb to, double share) {
    const auto channel = [share](double a, double b) { return a + (b - a) * share; };
    return {channel(from.red, to.red), channel(from.green, to.green), channel(from.blue, to.blue)};
}

double ContrastRatio(TRgb a, TRgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TRgb Readable(TRgb colour, TRgb text, TRgb background, TRgb other) {
    for (int step = 0; step < 10; ++step) {
        const auto mixed = Drawn(Mix(colour, text, step / 10.0));
        if (ContrastRatio(mixed, background) >= kReadableContrast && ContrastRatio(mixed, other) >= kReadableContrast)
            return mixed;
    }
    return text;
}

}  // namespace bootdisk
