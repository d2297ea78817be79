// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ASPI for Win32 request blocks (SRBs) the program sends, built as bytes in their published
// 32-bit layout so that every host can check them. The three address fields (data buffer, event,
// request to abort) are written by the Windows binding, the only place that holds real addresses.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "optical/ScsiTransport.h"

namespace bootdisk {

namespace srb {
// The header every request starts with.
inline constexpr std::size_t Cmd = 0, Status = 1, HaId = 2, Flags = 3, HdrRsvd = 4, HeaderSize = 8;
static_assert(HdrRsvd + 4 == HeaderSize);

inline constexpr std::uint8_t SC_HA_INQUIRY = 0x00, SC_GET_DEV_TYPE = 0x01, SC_EXEC_SCSI_CMD = 0x02,
                              SC_ABORT_SRB = 0x03;
inline constexpr std::uint8_t SS_PENDING = 0x00, SS_COMP = 0x01, SS_ABORTED = 0x02, SS_ABORT_FAIL = 0x03,
                              SS_ERR = 0x04, SS_INVALID_CMD = 0x80, SS_INVALID_HA = 0x81, SS_NO_DEVICE = 0x82,
                              SS_INVALID_SRB = 0xE0, SS_NO_ADAPTERS = 0xE8;
inline constexpr std::uint8_t SRB_DIR_IN = 0x08, SRB_DIR_OUT = 0x10, SRB_EVENT_NOTIFY = 0x40;
// Host and target status of the requests that are not SCSI commands.
inline constexpr std::uint8_t kNoScsiStatus = 0xFF;
// Host-adapter status of a target that did not answer its selection, and of a transfer that moved
// more or fewer bytes than the request carries.
inline constexpr std::uint8_t HASTAT_SEL_TO = 0x11, HASTAT_DO_DU = 0x12;
}  // namespace srb

// SRB_HAInquiry.
namespace srbha {
inline constexpr std::size_t HA_Count = 8, HA_SCSI_ID = 9, HA_ManagerId = 10, HA_Identifier = 26, HA_Unique = 42,
                             HA_Rsvd1 = 58, Size = 60;
// Byte 3 of HA_Unique: the adapter's maximum number of targets (0 means 8).
inline constexpr std::size_t MaxTargets = HA_Unique + 3;
static_assert(HA_ManagerId + 16 == HA_Identifier && HA_Identifier + 16 == HA_Unique && HA_Unique + 16 == HA_Rsvd1 &&
              HA_Rsvd1 + 2 == Size && MaxTargets == 45);
}  // namespace srbha

// SRB_GDEVBlock.
namespace srbdev {
inline constexpr std::size_t Target = 8, Lun = 9, DeviceType = 10, Rsvd1 = 11, Size = 12;
static_assert(Target == srb::HeaderSize && Rsvd1 + 1 == Size);
}  // namespace srbdev

// SRB_ExecSCSICmd.
namespace srbexec {
inline constexpr std::size_t Target = 8, Lun = 9, Rsvd1 = 10, BufLen = 12, BufPointer = 16, SenseLen = 20,
                             CDBLen = 21, HaStat = 22, TargStat = 23, PostProc = 24, Rsvd2 = 28, CDBByte = 48,
                             SenseArea = 64, Size = 84;
inline constexpr std::uint8_t kSenseLength = 14;
static_assert(Rsvd1 + 2 == BufLen && BufPointer + 4 == SenseLen && PostProc + 4 == Rsvd2 && Rsvd2 + 20 == CDBByte &&
              CDBByte + 16 == SenseArea && SenseArea + 20 == Size);
}  // namespace srbexec

// SRB_Abort.
namespace srbabort {
inline constexpr std::size_t ToAbort = 8, Size = 12;
static_assert(ToAbort == srb::HeaderSize && ToAbort + 4 == Size);
}  // namespace srbabort

using TSrbHaInquiry = std::array<std::uint8_t, srbha::Size>;
using TSrbGetDevType = std::array<std::uint8_t, srbdev::Size>;
using TSrbExec = std::array<std::uint8_t, srbexec::Size>;
using TSrbAbort = std::array<std::uint8_t, srbabort::Size>;

// One logical unit: host adapter, target and LUN.
struct TAspiAddress {
    std::uint8_t adapter = 0, target = 0, lun = 0;
    // The packed form: bits 7..0 adapter, 15..8 target, 23..16 LUN.
    std::uint32_t ScsiAddress() const { return adapter | std::uint32_t(target) << 8 | std::uint32_t(lun) << 16; }
    std::string Describe() const;  // "aspi 0:1:0"
    friend bool operator==(const TAspiAddress&, const TAspiAddress&) = default;
};

TSrbHaInquiry MakeHaInquiry(std::uint8_t adapter);
// Sets command and address in block, leaving the rest as the last query left it.
void PrepareGetDevType(TSrbGetDevType& block, TAspiAddress address);
// The command with event notification and the request's data direction. Throws
// std::invalid_argument for a command block no drive could take.
TSrbExec MakeExec(const TScsiRequest& request, TAspiAddress address);
TSrbAbort MakeAbort(std::uint8_t adapter);

// The result of a finished SCSI command from its request, host-adapter and target status.
TScsiResult ExecResult(const TSrbExec& block);
// The sense area of a finished SCSI command that ended in CHECK CONDITION; empty otherwise.
TSenseBytes ExecSense(const TSrbExec& block);

}  // namespace bootdisk
