// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The multimedia commands the recorder sends, one builder each, and the mapping of a drive's answer
// to the one-byte result. A builder fills the command block, direction, length and time limit; the
// caller's buffer must hold the command's data length (see ScsiFormat.h for the answer sizes).
#include <cstdint>
#include <optional>
#include <string>

#include "optical/Optical_device.h"
#include "optical/ScsiTransport.h"

namespace bootdisk {

// Result codes this layer produces itself.
inline constexpr TScsiResult kScsiCheckCondition = 1, kScsiNoDevice = 5, kScsiOtherError = 10,
                             kScsiDataUnderrun = 18, kScsiTargetError = 21, kScsiTimedOut = 27;

// Over ASPI the mode commands carry the LUN and the capabilities page is read without block
// descriptors; the pass-through carriers address the drive by handle.
enum class TScsiCarrier : std::uint8_t { PassThrough, Aspi };

namespace scsi {
inline constexpr std::uint8_t kTestUnitReady = 0x00, kInquiry = 0x12, kStartStopUnit = 0x1B, kRead10 = 0x28,
                              kWrite10 = 0x2A,
                              kSynchronizeCache = 0x35, kGetConfiguration = 0x46, kReadDiscInformation = 0x51,
                              kReadTrackInformation = 0x52, kModeSelect10 = 0x55, kModeSense10 = 0x5A,
                              kCloseTrackSession = 0x5B, kReadBufferCapacity = 0x5C, kBlank = 0xA1;
inline constexpr std::uint32_t kLongTimeout = 120, kShortTimeout = 2;  // seconds
inline constexpr std::uint8_t kForceUnitAccess = 0x08;  // byte 1 of READ(10)
}  // namespace scsi

TScsiRequest TestUnitReady();
TScsiRequest Inquiry(std::uint8_t* answer);  // 165 bytes
TScsiRequest ModeSenseWriteParameters(std::uint8_t* answer, std::uint8_t lun = 0);  // 64 bytes
TScsiRequest ModeSenseCapabilities(std::uint8_t* answer, TScsiCarrier carrier, std::uint8_t lun = 0);  // 159
TScsiRequest ModeSelect(std::uint8_t* parameters, std::uint16_t length, std::uint8_t lun = 0);
TScsiRequest ReadTrackInformation(std::uint8_t* answer);  // 28 bytes, the invisible track
TScsiRequest ReadBufferCapacity(std::uint8_t* answer);    // 12 bytes
TScsiRequest ReadDiscInformation(std::uint8_t* answer);   // 34 bytes
TScsiRequest Write10(std::uint32_t address, std::uint16_t blocks, std::uint8_t* data);  // blocks x 2048 bytes
// Medium sets FUA: the drive reads the disc, not what its cache holds of it.
enum class TReadFrom : std::uint8_t { AnyCache, Medium };
TScsiRequest Read10(std::uint32_t address, std::uint16_t blocks, std::uint8_t* data,
                    TReadFrom from = TReadFrom::AnyCache);  // blocks x 2048 bytes
TScsiRequest GetConfiguration(std::uint8_t* answer);      // 145 bytes
// Sent in immediate mode: the drive accepts them at once and completion is polled.
TScsiRequest SynchronizeCache();
TScsiRequest CloseTrack();
TScsiRequest CloseSession();
enum class TBlankType : std::uint8_t { WholeDisc = 0, Minimal = 1 };
TScsiRequest BlankDisc(TBlankType type);
TScsiRequest EjectDisc();  // START STOP UNIT with LoEj

// The command as the standard names it: "READ(10)"; "command 99h" for one this layer does not send.
std::string ScsiCommandName(const TScsiRequest& request);
// "READ(10) of 10 blocks at 20 moved 0 of 20480 bytes"; without a count (an ASPI layer tells only
// that the transfer was not whole): "... did not move its 20480 bytes (data over-run or under-run)".
std::string ShortTransferText(const TScsiRequest& request, std::optional<std::uint32_t> moved);

// Pass-through: only the drive's SCSI status counts; a request that never reached it gives 5.
TScsiResult MapPassThroughResult(const TScsiReply& reply);
// ASPI: request status, host-adapter status and target status of a finished request block.
TScsiResult MapAspiResult(std::uint8_t requestStatus, std::uint8_t hostStatus, std::uint8_t targetStatus);

}  // namespace bootdisk
