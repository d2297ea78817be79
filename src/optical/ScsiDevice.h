// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A CD/DVD writer reached through a SCSI transport: identification, capabilities and the
// track-at-once recording of one data track, the same over the pass-through and over ASPI.
#include <array>
#include <cstdint>
#include <memory>

#include "optical/Optical_device.h"
#include "optical/Poll.h"
#include "optical/ScsiCommands.h"
#include "optical/ScsiDecode.h"
#include "optical/ScsiFormat.h"
#include "optical/ScsiTransport.h"

namespace bootdisk {

class TScsiDevice : public TOpticalDevice {
public:
    TInquiryInfo InquiryInfo;
    std::array<std::uint8_t, capspage::kAnswerSize> CapabilityPage{};  // last answer, as the drive gave it

    // Reads the capabilities again; WriteCDR or WriteCDRW.
    bool IsWriter() override;
    TScsiResult Eject() override { return transport_->Eject(); }
    TScsiResult Blank(bool full, const TPollCallback& callback) override;
    bool CheckReady(TDiscState& state) override;
    // One track-at-once Mode 1 data track from source's position to its end, then cache flush, track
    // and session close. A last partial block is padded with zeros.
    bool WriteImage(TBurnStatus& status, TStream& source, TBurningIO* io) override;
    // READ(10) with FUA of the track the last WriteImage recorded, from its first block; without
    // FUA from the first read on that the drive refuses as an illegal request.
    bool ReadBack(TReadBackStatus& status, TStream& source, TBurningIO* io) override;
    std::string Location() const override { return transport_->Describe(); }

    IScsiTransport& Transport() { return *transport_; }

protected:
    // carrier and lun shape the mode commands: over ASPI they carry the LUN and read the
    // capabilities without block descriptors.
    TScsiDevice(std::unique_ptr<IScsiTransport> transport, TPollOptions pollOptions, TScsiCarrier carrier,
                std::uint8_t lun);

    // INQUIRY: DisplayName is "PRODUCT (VENDOR)"; a drive that does not answer keeps class 0
    // ("Disk") and empty texts.
    void Identify();
    // MODE SENSE of page 2Ah into a cleared CapabilityPage.
    TScsiResult ReadCapabilityPage();
    TScsiResult Send(const TScsiRequest& request) { return transport_->Execute(request); }

private:
    // Polling callback of the immediate commands: reports how full the drive's buffer still is.
    void ReportBuffer(TBurnStage stage);
    // The drive's sense data in words for a failed command, else the system's words when it did not
    // reach the drive; empty for success.
    std::string Explain(TScsiResult result) const;
    // Whether the last command ended in CHECK CONDITION with the sense key ILLEGAL REQUEST.
    bool RefusesAsIllegal(TScsiResult result) const;
    // Sends a command and keeps the words for its failure.
    TScsiResult Step(TBurnStatus& status, const TScsiRequest& request);

    std::unique_ptr<IScsiTransport> transport_;
    TPollOptions pollOptions_;
    TScsiCarrier carrier_;
    std::uint8_t lun_;
    TBurningIO idle_;
    TBurningIO* BurningIO = &idle_;
    std::uint32_t trackStart_ = 0;  // the first block of the track the last WriteImage recorded
};

}  // namespace bootdisk
