// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One progress line on stderr, rewritten in place whenever the whole percent changes. Only a
// terminal sees it: a pipe or a log gets no carriage returns, and --quiet turns it off.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/Host.h"

namespace bootdisk::cli {

class TProgressLine {
public:
    TProgressLine(std::string label, bool quiet) : label_(std::move(label)), shown_(!quiet && StderrIsTerminal()) {}
    ~TProgressLine() { End(); }
    TProgressLine(const TProgressLine&) = delete;
    TProgressLine& operator=(const TProgressLine&) = delete;

    void Show(double fraction) { ShowPercent(int(std::lround(std::clamp(fraction, 0.0, 1.0) * 100))); }
    void ShowPercent(int percent) {
        if (!shown_ || percent == percent_) return;
        percent_ = percent;
        std::fprintf(stderr, "\r%s: %3d%%", label_.c_str(), percent);
        std::fflush(stderr);
    }
    // Ends the line, so the next message starts on its own.
    void End() {
        if (percent_ >= 0) std::fprintf(stderr, "\n");
        percent_ = -1;
    }

private:
    std::string label_;
    bool shown_;
    int percent_ = -1;
};

}  // namespace bootdisk::cli
