#pragma once
// A CD/DVD writer reached through a SCSI transport (the host's pass-through, iSCSI or the emulated
// writer): identification, capabilities and the track-at-once recording of one data track.
#include <array>
#include <cstdint>
#include <memory>

#include "optical/Optical_device.h"
#include "optical/Poll.h"
#include "optical/ScsiDecode.h"
#include "optical/ScsiFormat.h"
#include "optical/ScsiTransport.h"

namespace bootdisk {

class TSPTIdevice : public TOpticalDevice {
public:
    // Identifies the drive at once (INQUIRY, then the capabilities page): DisplayName is
    // "PRODUCT (VENDOR)". A drive that does not answer keeps class 0 ("Disk") and empty texts.
    explicit TSPTIdevice(std::unique_ptr<IScsiTransport> transport, TPollOptions pollOptions = {});

    TInquiryInfo InquiryInfo;
    std::array<std::uint8_t, capspage::kAnswerSize> CapabilityPage{};  // last answer, as the drive gave it

    // Reads the capabilities again; WriteCDR or WriteCDRW.
    bool IsWriter() override;
    TScsiResult Eject() override;
    TScsiResult Blank(bool full, const TPollCallback& callback) override;
    TScsiResult ReadCapabilities() override;
    bool CheckReady(TDiscState& state) override;
    // One track-at-once Mode 1 data track from source's position to its end, then cache flush, track
    // and session close. A last partial block is padded with zeros.
    bool WriteImage(TBurnStatus& status, TStream& source, TBurningIO* io) override;

    IScsiTransport& Transport() { return *transport_; }

private:
    TScsiResult Send(const TScsiRequest& request);
    // Polling callback of the immediate commands: reports how full the drive's buffer still is.
    void ReportBuffer(TBurnStage stage);

    std::unique_ptr<IScsiTransport> transport_;
    TPollOptions pollOptions_;
    TBurningIO idle_;
    TBurningIO* BurningIO = &idle_;
};

}  // namespace bootdisk
