// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/AreaColours.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "base/Colours.h"

namespace bootdisk::test {

double ContrastRatio(std::uint32_t a, std::uint32_t b) {
    const auto rgb = [](std::uint32_t c) {
        return TRgb{(c >> 16 & 0xFF) / 255.0, (c >> 8 & 0xFF) / 255.0, (c & 0xFF) / 255.0};
    };
    return bootdisk::ContrastRatio(rgb(a), rgb(b));
}

TAreaColours MeasureArea(const std::map<std::uint32_t, int>& counts) {
    if (counts.empty()) return {};
    const auto background =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    std::vector<double> contrasts;
    for (const auto& [colour, count] : counts)
        contrasts.insert(contrasts.end(), std::min(count, 3), ContrastRatio(colour, background));
    std::sort(contrasts.begin(), contrasts.end(), std::greater<>());
    return {background, contrasts.size() < 3 ? 1.0 : contrasts[2]};
}

}  // namespace bootdisk::test
