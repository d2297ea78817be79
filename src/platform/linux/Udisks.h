// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's disk service (udisks2) on the system bus: the drives it knows, and the device
// opened, or its file systems unmounted, on the user's behalf, with the system's authorisation
// instead of administrator rights.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/HostDrives.h"

namespace bootdisk::linuxhost {

// Each call asks the service anew; nothing is kept between calls, as drives come and go.
class TUdisks {
public:
    // Whether the service answers on the system bus ($DBUS_SYSTEM_BUS_ADDRESS when set).
    static bool Answers();

    // The whole disks the service knows, in its order of device names; nothing when it does not
    // answer.
    static std::optional<std::vector<THostDrive>> Drives();
    // The disk or partition at device; nothing when the service does not answer or does not know
    // it (then the disk is not found through the service at all).
    static std::optional<THostDrive> Describe(const std::string& device);

    // The disk at device opened exclusively by the service: its descriptor, or minus the system's
    // error code when it will not (no authorisation, the device in use); nothing when the disk is
    // not the service's (as for Describe), which leaves it to be opened directly.
    static std::optional<int> Open(const std::string& device, bool write);
    // Unmounts every file system on the disk at device and its partitions: empty when done, else
    // the service's reason; nothing when the disk is not the service's.
    static std::optional<std::string> Unmount(const std::string& device);

    // changed is called, on a thread of the service's client, whenever the service says that its
    // objects came or went, for as long as the answer lives; nothing when the service cannot be
    // reached.
    static std::shared_ptr<void> Watch(std::function<void()> changed);
};

}  // namespace bootdisk::linuxhost
