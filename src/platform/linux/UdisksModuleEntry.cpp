// SPDX-License-Identifier: GPL-3.0-or-later
// The entry of the disk service's module: the one symbol the program looks up in it.
#include "platform/linux/Udisks.h"
#include "platform/linux/UdisksModule.h"

extern "C" __attribute__((visibility("default"))) const bootdisk::linuxhost::TUdisksFunctions*
bootdisk_udisks_functions() {
    using bootdisk::linuxhost::TUdisks;
    static const bootdisk::linuxhost::TUdisksFunctions functions{
        BOOTDISK_VERSION, sizeof(bootdisk::THostDrive), &TUdisks::Answers, &TUdisks::Drives,
        &TUdisks::Describe, &TUdisks::Open, &TUdisks::Unmount, &TUdisks::Watch};
    return &functions;
}
