// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/Udisks.h"

#include <fcntl.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>

#include "platform/linux/BlockDevices.h"
#include "platform/linux/SdbusCompat.h"

namespace bootdisk::linuxhost {
namespace {

using TProperties = std::map<std::string, sdbus::Variant>;
using TInterfaces = std::map<std::string, TProperties>;
using TObjects = std::map<sdbus::ObjectPath, TInterfaces>;

constexpr const char* kService = "org.freedesktop.UDisks2";
constexpr const char* kBlock = "org.freedesktop.UDisks2.Block";
constexpr const char* kDrive = "org.freedesktop.UDisks2.Drive";
constexpr const char* kFilesystem = "org.freedesktop.UDisks2.Filesystem";
constexpr const char* kPartition = "org.freedesktop.UDisks2.Partition";
constexpr const char* kNoObject = "/";
constexpr const char* kRoot = "/org/freedesktop/UDisks2";
constexpr const char* kObjectManager = "org.freedesktop.DBus.ObjectManager";
// A question answers at once; opening and unmounting may wait for the user to authorise it.
constexpr auto kAskTimeout = std::chrono::seconds(5);
constexpr auto kAuthoriseTimeout = std::chrono::minutes(5);

// A property of the expected type, or fallback when it is missing or of another type.
template <typename T>
T Get(const TInterfaces& object, const char* interface, const char* name, T fallback = {}) {
    const auto found = object.find(interface);
    if (found == object.end()) return fallback;
    const auto property = found->second.find(name);
    if (property == found->second.end() || !property->second.containsValueOfType<T>()) return fallback;
    return property->second.get<T>();
}

// Paths travel as zero-terminated byte strings.
std::string Bytes(const std::vector<std::uint8_t>& bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return {bytes.begin(), end};
}

struct TBlock {
    std::string object;
    std::string device;
    std::vector<std::string> names;  // the device and its other names (/dev/disk/by-id/...)
    std::string drive;               // the Drive object, "/" for none
    std::string table;               // of a partition: the whole disk's object
    std::uint64_t size = 0;
    std::uint64_t number = 0;
    bool readOnly = false;
    bool hintSystem = false;
    bool hintIgnore = false;
    bool partition = false;
    std::vector<std::string> mountPoints;
    std::string heldBy;  // a RAID array or an encrypted device built on it
    std::string idType;  // what its contents are, as blkid names them ("vfat", "zfs_member")
};

struct TSnapshot {
    std::vector<TBlock> blocks;
    TObjects objects;
};

std::optional<TSnapshot> Ask() {
    try {
        const auto connection = sdbus::createSystemBusConnection();
        const auto proxy = MakeProxy(*connection, kService, kRoot);
        TSnapshot snapshot;
        proxy->callMethod("GetManagedObjects")
            .onInterface(kObjectManager)
            .withTimeout(kAskTimeout)
            .storeResultsTo(snapshot.objects);
        for (const auto& [path, object] : snapshot.objects) {
            if (!object.contains(kBlock)) continue;
            TBlock block;
            block.object = path;
            block.device = Bytes(Get<std::vector<std::uint8_t>>(object, kBlock, "Device"));
            block.names.push_back(block.device);
            for (const auto& name : Get<std::vector<std::vector<std::uint8_t>>>(object, kBlock, "Symlinks"))
                block.names.push_back(Bytes(name));
            block.drive = Get<sdbus::ObjectPath>(object, kBlock, "Drive", sdbus::ObjectPath(kNoObject));
            block.size = Get<std::uint64_t>(object, kBlock, "Size");
            block.number = Get<std::uint64_t>(object, kBlock, "DeviceNumber");
            block.readOnly = Get<bool>(object, kBlock, "ReadOnly");
            block.idType = Get<std::string>(object, kBlock, "IdType");
            block.hintSystem = Get<bool>(object, kBlock, "HintSystem");
            block.hintIgnore = Get<bool>(object, kBlock, "HintIgnore");
            block.partition = object.contains(kPartition);
            block.table = Get<sdbus::ObjectPath>(object, kPartition, "Table", sdbus::ObjectPath(kNoObject));
            for (const auto& point : Get<std::vector<std::vector<std::uint8_t>>>(object, kFilesystem, "MountPoints"))
                block.mountPoints.push_back(Bytes(point));
            const auto raid = Get<sdbus::ObjectPath>(object, kBlock, "MDRaidMember", sdbus::ObjectPath(kNoObject));
            if (raid != kNoObject) block.heldBy = raid.substr(raid.rfind('/') + 1);
            if (!block.device.empty()) snapshot.blocks.push_back(std::move(block));
        }
        // An encrypted device names the block it is built on.
        for (const auto& [path, object] : snapshot.objects) {
            const auto backing = Get<sdbus::ObjectPath>(object, kBlock, "CryptoBackingDevice", sdbus::ObjectPath(kNoObject));
            for (auto& block : snapshot.blocks)
                if (block.object == backing) block.heldBy = Bytes(Get<std::vector<std::uint8_t>>(object, kBlock, "Device"));
        }
        std::sort(snapshot.blocks.begin(), snapshot.blocks.end(),
                  [](const TBlock& a, const TBlock& b) { return a.device < b.device; });
        return snapshot;
    } catch (const sdbus::Error&) {
        return std::nullopt;
    }
}

// The whole disk a block belongs to: itself, or a partition's table.
const TBlock* WholeDisk(const TSnapshot& snapshot, const TBlock& block) {
    if (!block.partition) return &block;
    for (const auto& other : snapshot.blocks)
        if (other.object == block.table) return &other;
    return nullptr;
}

bool OnDisk(const TSnapshot& snapshot, const TBlock& block, const TBlock& disk) {
    return WholeDisk(snapshot, block) == &disk;
}

// A file system of the system or a live system's boot medium mounted from it, or the kernel's
// numbers of the system's disks naming it; where the system stands on ZFS, a member of a pool.
bool HoldsRunningSystem(const TBlock& disk, const std::vector<std::string>& mountPoints, bool zfsMember) {
    if (std::any_of(mountPoints.begin(), mountPoints.end(), IsSystemMountPoint)) return true;
    const auto system = SystemDisks({});
    return (disk.number != 0 && system.numbers.contains(NumberText(disk.number))) || (system.onZfs && zfsMember);
}

// Writers and floppies have their own media; a drive the desktop is told to hide is not shown.
bool Offerable(const TSnapshot& snapshot, const TBlock& disk) {
    if (disk.partition || disk.drive == kNoObject || disk.hintIgnore) return false;
    if (disk.device.starts_with("/dev/sr") || disk.device.starts_with("/dev/fd")) return false;
    const auto drive = snapshot.objects.find(sdbus::ObjectPath(disk.drive));
    if (drive == snapshot.objects.end()) return false;
    return !Get<bool>(drive->second, kDrive, "Optical");
}

THostDrive DescribeDisk(const TSnapshot& snapshot, const TBlock& disk) {
    const auto& drive = snapshot.objects.at(sdbus::ObjectPath(disk.drive));
    THostDrive result;
    result.device = disk.device;
    const auto vendor = Get<std::string>(drive, kDrive, "Vendor");
    const auto model = Get<std::string>(drive, kDrive, "Model");
    result.model = vendor.empty() || model.empty() ? vendor + model : vendor + " " + model;
    result.size = disk.size;
    const bool removable = Get<bool>(drive, kDrive, "Removable") || Get<bool>(drive, kDrive, "MediaRemovable");
    result.type = removable ? THostDriveType::Removable : THostDriveType::Fixed;
    result.readOnly = disk.readOnly;
    bool zfsMember = false;
    for (const auto& block : snapshot.blocks) {
        if (!OnDisk(snapshot, block, disk)) continue;
        result.mountPoints.insert(result.mountPoints.end(), block.mountPoints.begin(), block.mountPoints.end());
        if (!block.heldBy.empty()) result.usedBy.push_back(block.heldBy);
        zfsMember = zfsMember || block.idType == "zfs_member";
    }
    result.holdsSystem = disk.hintSystem && !removable;
    result.holdsSystem = result.holdsSystem || HoldsRunningSystem(disk, result.mountPoints, zfsMember);
    result.identity = disk.drive + " " + Get<std::string>(drive, kDrive, "Serial");
    result.number = disk.number != 0 ? NumberText(disk.number) : std::string();
    return result;
}

// By one of its names, or as /dev/block/MAJOR:MINOR, the name of its number.
const TBlock* Find(const TSnapshot& snapshot, const std::string& device) {
    for (const auto& block : snapshot.blocks)
        if (std::find(block.names.begin(), block.names.end(), device) != block.names.end() ||
            (block.number != 0 && device == "/dev/block/" + NumberText(block.number)))
            return &block;
    return nullptr;
}

// The block at device when its whole disk is one the service offers; such a disk is reached through
// the service, every other one directly.
const TBlock* KnownBlock(const TSnapshot& snapshot, const std::string& device) {
    const auto* block = Find(snapshot, device);
    const auto* disk = block ? WholeDisk(snapshot, *block) : nullptr;
    return disk && Offerable(snapshot, *disk) ? block : nullptr;
}

// The service reports the system's error as text; the disk objects carry codes.
int ErrorCode(const sdbus::Error& error) {
    if (error.getName().find("NotAuthorized") != std::string::npos) return EACCES;
    for (const int code : {EBUSY, EACCES, EPERM, ENOENT, ENXIO, EROFS, ENOMEDIUM})
        if (error.getMessage().find(std::strerror(code)) != std::string::npos) return code;
    return EIO;
}

}  // namespace

bool TUdisks::Answers() { return Ask().has_value(); }

std::optional<std::vector<THostDrive>> TUdisks::Drives() {
    const auto snapshot = Ask();
    if (!snapshot) return std::nullopt;
    std::vector<THostDrive> drives;
    for (const auto& block : snapshot->blocks)
        if (Offerable(*snapshot, block)) drives.push_back(DescribeDisk(*snapshot, block));
    return drives;
}

std::optional<THostDrive> TUdisks::Describe(const std::string& device) {
    const auto snapshot = Ask();
    const auto* block = snapshot ? KnownBlock(*snapshot, device) : nullptr;
    if (!block) return std::nullopt;
    const auto* disk = WholeDisk(*snapshot, *block);
    auto drive = DescribeDisk(*snapshot, *disk);
    if (block != disk) {
        drive.type = THostDriveType::Partition;
        drive.size = block->size;
        drive.readOnly = block->readOnly;
        drive.number = block->number != 0 ? NumberText(block->number) : std::string();
    }
    drive.device = device;
    return drive;
}

std::optional<int> TUdisks::Open(const std::string& device, bool write) {
    const auto snapshot = Ask();
    const auto* block = snapshot ? KnownBlock(*snapshot, device) : nullptr;
    if (!block) return std::nullopt;
    try {
        const auto connection = sdbus::createSystemBusConnection();
        const auto proxy = MakeProxy(*connection, kService, block->object);
        const std::map<std::string, sdbus::Variant> options = {{"flags", sdbus::Variant(std::int32_t{O_EXCL | O_CLOEXEC})}};
        sdbus::UnixFd fd;
        proxy->callMethod("OpenDevice")
            .onInterface(kBlock)
            .withTimeout(kAuthoriseTimeout)
            .withArguments(std::string(write ? "rw" : "r"), options)
            .storeResultsTo(fd);
        return fd.release();
    } catch (const sdbus::Error& error) {
        return -ErrorCode(error);
    }
}

std::optional<std::string> TUdisks::Unmount(const std::string& device) {
    const auto snapshot = Ask();
    const auto* block = snapshot ? KnownBlock(*snapshot, device) : nullptr;
    if (!block) return std::nullopt;
    const auto* disk = WholeDisk(*snapshot, *block);
    try {
        const auto connection = sdbus::createSystemBusConnection();
        for (const auto& other : snapshot->blocks) {
            if (other.mountPoints.empty() || !OnDisk(*snapshot, other, *disk)) continue;
            const auto proxy = MakeProxy(*connection, kService, other.object);
            proxy->callMethod("Unmount")
                .onInterface(kFilesystem)
                .withTimeout(kAuthoriseTimeout)
                .withArguments(std::map<std::string, sdbus::Variant>{});
        }
    } catch (const sdbus::Error& error) {
        return error.getMessage();
    }
    return std::string();
}

std::shared_ptr<void> TUdisks::Watch(std::function<void()> changed) {
    try {
        return MakeListener(sdbus::createSystemBusConnection(), kService, kRoot, kObjectManager,
                            {"InterfacesAdded", "InterfacesRemoved"}, changed);
    } catch (const sdbus::Error&) {
        return nullptr;
    }
}

}  // namespace bootdisk::linuxhost
