// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress sink the wizard hands to a recording: it maps the recording stages onto the copy's
// fraction done and keeps the window alive.
#include <functional>

#include "optical/Optical_device.h"
#include "platform/Dialogs.h"

namespace bootdisk {

class TDSKburningIO : public TBurningIO {
public:
    // copyProgress receives the copy's fraction done, 0 to 1; stageChanged, when set, each stage
    // as it begins.
    TDSKburningIO(IDialogs& dialogs, std::function<void(double)> copyProgress,
                  std::function<void(TBurnStage)> stageChanged = {})
        : dialogs_(dialogs), copyProgress_(std::move(copyProgress)), stageChanged_(std::move(stageChanged)) {}

    // Writing fills the first 40 % of the copy; the drive's draining buffer moves it from 50 % towards
    // 90 %, and the read-back from 90 % to the end.
    void Progress(TBurnStage stage, double done, double bufferFill) override;
    void StageChanged(TBurnStage stage) override;

    // Whether the disc was being read back: a failure after that means the recording is not what
    // was sent.
    bool ReadBackBegun() const { return readBackBegun_; }

private:
    void Report(double fraction) const {
        if (copyProgress_) copyProgress_(fraction);
    }

    IDialogs& dialogs_;
    std::function<void(double)> copyProgress_;
    std::function<void(TBurnStage)> stageChanged_;
    bool readBackBegun_ = false;
};

}  // namespace bootdisk
