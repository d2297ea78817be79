// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The base of every CD/DVD media kind: the writers reached through a transport, and the image
// recorder that saves the disc image as a file instead.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "base/Streams.h"
#include "optical/ScsiTransport.h"

namespace bootdisk {

// Called between two polls while a command sent in immediate mode completes.
using TPollCallback = std::function<void()>;

inline constexpr std::uint8_t kDeviceTypeCdRom = 5;
inline constexpr std::size_t kDiscInformationSize = 34;

// Step codes of CheckReady and WriteImage; each indexes a recording error text.
namespace burncode {
inline constexpr std::uint8_t NoError = 0, NotCdRom = 1, ScsiError = 2, NotReady = 3, NotErasable = 4,
                              GetWriteParameters = 5, SetWriteParameters = 6, InvalidTrack = 7,
                              TrackInformation = 8, NoFreeSpace = 9, BufferCapacity = 10, WriteError = 11,
                              SyncCache = 12, CloseTrack = 13, CloseSession = 14;
}  // namespace burncode

// What CheckReady finds out about the drive and its disc.
struct TDiscState {
    std::uint8_t Code = 0;  // step code of the failure; not set on success
    TScsiResult Result = kScsiOk;
    bool Erasable = false;
    std::uint8_t DiscStatus = 0;  // 0 empty, 1 appendable, 2 complete, 3 other
    std::array<std::uint8_t, kDiscInformationSize> DiscInformation{};
    std::string Reason;  // the drive's or the system's words for the failure, when there are any
};

// How far a recording got; Code indexes the recording error texts.
struct TBurnStatus {
    std::uint8_t Code = 0;
    TScsiResult Result = kScsiOk;
    std::string Reason;  // the drive's or the system's words for the failure, when there are any
};

// What reading a recorded track back found, when it did not match: the first sector (counted from
// the track's start) that could not be read, or that differs from what was recorded.
struct TReadBackStatus {
    bool Unreadable = false;  // the read failed (Result, Reason); otherwise the sector differs
    std::uint32_t Sector = 0;
    TScsiResult Result = kScsiOk;
    std::string Reason;
};

// Recording stages announced by StageChanged; the read-back of the closed track comes last.
enum class TBurnStage : std::uint8_t {
    Prepare = 0, Write = 1, SyncCache = 2, CloseTrack = 3, CloseSession = 4, ReadBack = 5
};

// The progress sink of a recording; the base ignores everything.
class TBurningIO {
public:
    virtual ~TBurningIO() = default;
    // done and bufferFill are fractions from 0 to 1.
    virtual void Progress(TBurnStage /*stage*/, double /*done*/, double /*bufferFill*/) {}
    virtual void StageChanged(TBurnStage /*stage*/) {}
};

struct TCapabilities {
    bool ReadCDR = false, ReadCDRW = false, ReadMethod2 = false;
    bool ReadDVDROM = false, ReadDVDR = false, ReadDVDRAM = false;
    bool WriteCDR = false, WriteCDRW = false, TestWrite = false, WriteDVDR = false, WriteDVDRAM = false;
    std::uint32_t MaxReadSpeed = 0;   // in units of 176 kB/s
    std::uint32_t MaxWriteSpeed = 0;  // in units of 176 kB/s
};

class TOpticalDevice {
public:
    virtual ~TOpticalDevice() = default;

    std::uint8_t DeviceType = kDeviceTypeCdRom;
    std::string DisplayName;
    std::string TypeName;
    TCapabilities Capabilities;
    // GET CONFIGURATION of an ASPI writer: the current profile in the low 16 bits, the feature code
    // in the high 16 bits of FeatureHeader; 0 elsewhere.
    std::uint32_t CurrentProfile = 0;
    std::uint32_t FeatureHeader = 0;

    // Where the device is reached, as a person names it: "/dev/sr0", "E:", "aspi 0:1:0"; empty for
    // the image recorder.
    virtual std::string Location() const { return {}; }

    virtual bool IsWriter() { return true; }
    virtual TScsiResult Eject() { return kScsiOk; }
    virtual TScsiResult Blank(bool /*full*/, const TPollCallback& /*callback*/) { return kScsiOk; }
    virtual TScsiResult ReadCapabilities() { return kScsiOk; }
    virtual bool CheckReady(TDiscState& /*state*/) { return false; }
    // Records source from its position to its end; io may be null.
    virtual bool WriteImage(TBurnStatus& /*status*/, TStream& /*source*/, TBurningIO* /*io*/) { return false; }
    // After a WriteImage: reads the recorded track back, as long as source from its position to its
    // end, and compares. True when it matches; a media kind that keeps no disc has nothing to read.
    virtual bool ReadBack(TReadBackStatus& /*status*/, TStream& /*source*/, TBurningIO* /*io*/) { return true; }
};

}  // namespace bootdisk
