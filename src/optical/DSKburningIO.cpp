// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/DSKburningIO.h"

namespace bootdisk {

void TDSKburningIO::Progress(TBurnStage stage, double done, double bufferFill) {
    dialogs_.ProcessMessages();
    switch (stage) {
        case TBurnStage::Prepare: Report(0.4 * done); break;
        case TBurnStage::Write:
        case TBurnStage::SyncCache: Report(0.5 + 0.4 * (1.0 - bufferFill)); break;
        case TBurnStage::CloseTrack: dialogs_.ProcessMessages(); break;
        case TBurnStage::CloseSession: break;
        case TBurnStage::ReadBack: Report(0.9 + 0.1 * done); break;
    }
}

void TDSKburningIO::StageChanged(TBurnStage stage) {
    readBackBegun_ = readBackBegun_ || stage == TBurnStage::ReadBack;
    if (stageChanged_) stageChanged_(stage);
}

}  // namespace bootdisk
