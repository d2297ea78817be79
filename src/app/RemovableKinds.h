#pragma once
// The removable drives as media kinds of the creation list: one entry per drive that may take the
// boot image, named so the user can tell it from every other disk.
#include <string>
#include <vector>

#include "app/CreateList.h"
#include "base/StrConst.h"
#include "platform/HostDrives.h"

namespace bootdisk {

// Why a drive may not take the boot image, the weightiest reason first.
enum class TDriveRefusal { None, Partition, NotRemovable, HoldsSystem, Mounted, InUse, ReadOnly, TooSmall };

// Only a whole removable disk that holds neither the running system nor a file system in use, can
// be written and has room for the image may take it.
TDriveRefusal RefusalOf(const THostDrive& drive);

// "Removable storage device (SanDisk Cruzer, 16.0 GB, /dev/sdb)".
std::string DriveLabel(const TStringTable& texts, const THostDrive& drive);
// Why the drive is not offered, in the user's words; empty when it is offered.
std::string RefusalText(const TStringTable& texts, const THostDrive& drive);

// The offered drives, each attached to a drive letter of table.
std::vector<TMediaKind> RemovableMediaKinds(const TStringTable& texts, const std::vector<THostDrive>& drives,
                                            IHostRawDevices& table);

}  // namespace bootdisk
