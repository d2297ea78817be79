// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The removable drives as media kinds of the creation list: one entry per drive that may take the
// boot image, named so the user can tell it from every other disk, following drives as they come
// and go.
#include <string>
#include <vector>

#include "app/CreateList.h"
#include "base/StrConst.h"
#include "platform/HostDrives.h"

namespace bootdisk {

// Why a drive may not take the boot image, the weightiest reason first.
enum class TDriveRefusal { None, Partition, NotRemovable, HoldsSystem, InUse, ReadOnly, TooSmall };

// Only a whole removable disk that holds neither the running system nor a device built on it, can
// be written and has room for the image may take it. Its mounted file systems are unmounted first.
TDriveRefusal RefusalOf(const THostDrive& drive);

// "Removable storage device (SanDisk Cruzer, 16.0 GB, /dev/sdb, mounted at /media/u/STICK)".
std::string DriveLabel(const TStringTable& texts, const THostDrive& drive);
// Why the drive is not offered, in the user's words; empty when it is offered.
std::string RefusalText(const TStringTable& texts, const THostDrive& drive);
// The stable word for a refusal that scripts read ("not-removable"); the text is for people.
const char* RefusalKey(TDriveRefusal refusal);
// "/media/a, /media/b".
std::string MountPointList(const std::vector<std::string>& points);
// The whole disk at device as a write erases it: the device itself, or where the system names the
// disk's volumes apart, every one of them ("E: (DATA, 28.0 GB) and F: (BOOT, 100 MB) on the same
// stick").
std::string WholeDiskName(const TStringTable& texts, const std::string& device, const std::vector<std::string>& volumes);

// The drive as the removable installation addresses it, through letter.
TRemovableDrive RemovableDriveOf(char letter, const THostDrive& drive);

// The offered drives, each attached to a drive letter of table.
std::vector<TMediaKind> RemovableMediaKinds(const TStringTable& texts, const std::vector<THostDrive>& drives,
                                            IHostRawDevices& table);

// What the list says under its rows about the removable drives: when none is offered, what to do
// and the removable ones left out with the reason; or that writing needs rights the program lacks;
// empty when all is well.
std::string RemovableNotice(const TStringTable& texts, const std::vector<THostDrive>& drives,
                            bool writesNeedAdministrator);

// The media kinds with the removable drives offered now: the other entries stay; a drive that came
// is added before the recorders; one that went away stays, marked removed, while a row has it
// chosen, so that row is skipped and never turned to another drive. Every row keeps its choice.
// True when the kinds changed.
bool FollowRemovableKinds(const TStringTable& texts, std::vector<TMediaKind>& kinds, TCreationList& list,
                          const std::vector<TMediaKind>& removables);

}  // namespace bootdisk
