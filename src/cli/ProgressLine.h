#pragma once
// One progress line on stdout, rewritten in place whenever the whole percent changes.
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace bootdisk::cli {

class TProgressLine {
public:
    explicit TProgressLine(const char* label) : label_(label) {}

    void Show(double fraction) {
        const int percent = int(std::lround(std::clamp(fraction, 0.0, 1.0) * 100));
        if (percent == shown_) return;
        shown_ = percent;
        std::printf("\r%s: %3d%%", label_, percent);
        std::fflush(stdout);
    }
    void End() {
        if (shown_ >= 0) std::printf("\n");
        shown_ = -1;
    }

private:
    const char* label_;
    int shown_ = -1;
};

}  // namespace bootdisk::cli
