#pragma once
// One progress line on stdout, rewritten in place whenever the whole percent changes.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace bootdisk::cli {

class TProgressLine {
public:
    explicit TProgressLine(std::string label) : label_(std::move(label)) {}
    ~TProgressLine() { End(); }
    TProgressLine(const TProgressLine&) = delete;
    TProgressLine& operator=(const TProgressLine&) = delete;

    void Show(double fraction) { ShowPercent(int(std::lround(std::clamp(fraction, 0.0, 1.0) * 100))); }
    void ShowPercent(int percent) {
        if (percent == shown_) return;
        shown_ = percent;
        std::printf("\r%s: %3d%%", label_.c_str(), percent);
        std::fflush(stdout);
    }
    void End() {
        if (shown_ >= 0) std::printf("\n");
        shown_ = -1;
    }

private:
    std::string label_;
    int shown_ = -1;
};

}  // namespace bootdisk::cli
