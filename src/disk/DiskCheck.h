// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check that the disk opened for a write, or for its read-back, is the disk the user confirmed:
// a stick swapped while the system asked for authorisation, or another disk that took the same
// device meanwhile, is never written.
#include <optional>
#include <string>

#include "base/StrConst.h"
#include "platform/RawDevice.h"

namespace bootdisk {

// The disk the user confirmed, at the device they were told of.
struct TConfirmedDisk {
    std::string device;
    TDiskIdentity disk;
};

// Whether opened may be the disk confirmed: the numbers agree where both are known, and the drive
// confirmed is told again by the device opened.
bool SameDisk(const TDiskIdentity& confirmed, const TDiskIdentity& opened);

// Why the device opened is left alone, naming both drives; empty when it is the disk confirmed or
// the host cannot ask an open device (opened is nothing).
std::string OpenedDiskRefusal(const TStringTable& texts, const TConfirmedDisk& confirmed,
                              const std::optional<TDiskIdentity>& opened);

}  // namespace bootdisk
