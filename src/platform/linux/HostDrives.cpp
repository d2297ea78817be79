// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostDrives.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/linux/BlockDevices.h"
#include "platform/linux/Udisks.h"
#include "platform/linux/UdisksModule.h"

namespace bootdisk {
namespace linuxhost {

namespace fs = std::filesystem;

namespace {

std::string Trimmed(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string ModelOf(const fs::path& block) {
    const std::string vendor = Trimmed(block / "device/vendor");
    const std::string model = Trimmed(block / "device/model");
    if (!model.empty()) return vendor.empty() ? model : vendor + " " + model;
    const std::string backing = Trimmed(block / "loop/backing_file");
    return backing.empty() ? std::string() : "loop device on " + backing;
}

}  // namespace

// A partition has its own size and write protection; what it is used for is told by its disk.
THostDrive DescribeBlock(const std::string& folder, const std::string& devicePath, const TSystemPaths& paths) {
    const fs::path block(folder);
    THostDrive drive;
    drive.device = devicePath;
    drive.type = BlockType(folder);
    const fs::path disk = drive.type == THostDriveType::Partition ? block.parent_path() : block;
    drive.model = ModelOf(disk);
    try {
        drive.size = std::stoull(Trimmed(block / "size")) * 512;  // the kernel counts 512-byte units
    } catch (const std::exception&) {
        drive.size = 0;
    }
    drive.readOnly = Trimmed(block / "ro") == "1";
    const std::string number = Trimmed(disk / "dev");
    drive.holdsSystem = !number.empty() && SystemDisks(paths).numbers.contains(number);
    if (!number.empty()) drive.mountPoints = MountPointsOnDisk(number, paths);
    drive.identity = drive.model + " " + std::to_string(drive.size);
    drive.number = Trimmed(block / "dev");
    drive.usedBy = HoldersOfDisk(disk.filename().string(), paths);
    return drive;
}

std::optional<THostDrive> DescribeNode(const std::string& device, const TSystemPaths& paths) {
    const auto number = NodeNumber(device);
    const auto folder = number ? BlockFolder(*number, paths) : std::nullopt;
    if (!folder) return std::nullopt;
    return DescribeBlock(*folder, device, paths);
}

std::optional<THostDrive> DescribeNumber(const std::string& number, const TSystemPaths& paths) {
    const auto folder = BlockFolder(number, paths);
    if (!folder) return std::nullopt;
    return DescribeBlock(*folder, "/dev/block/" + number, paths);
}

// Disks a person could plug in or write: those with a hardware device, and attached loop devices.
// Optical drives are writers and listed as such; floppies have their own medium.
std::vector<THostDrive> ScanBlocks(const TSystemPaths& paths, const std::string& devFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(paths.sys) / "block", error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("sr") || name.starts_with("fd")) continue;
        const bool loop = name.starts_with("loop");
        if (!loop && !fs::exists(entry.path() / "device", error)) continue;
        if (loop && Trimmed(entry.path() / "size") == "0") continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::vector<THostDrive> drives;
    for (const auto& name : names)
        drives.push_back(DescribeBlock((fs::path(paths.sys) / "block" / name).string(), devFolder + "/" + name, paths));
    return drives;
}

namespace {

// Without the disk service to open devices on the user's behalf, only root writes a whole disk.
bool RemovableWritesNeedRoot(bool serviceAnswers) { return ::geteuid() != 0 && !serviceAnswers; }

}  // namespace

TDriveScan ScanDrives() {
    auto known = TUdisks::Drives();
    if (!known) return {ScanBlocks({}, "/dev"), RemovableWritesNeedRoot(false)};
    return {std::move(*known), RemovableWritesNeedRoot(true)};
}

}  // namespace linuxhost

std::string WriterDeviceExample() { return "/dev/srN, iscsi://HOST[:PORT]/IQN/LUN"; }

std::string DefaultFloppyDevice() { return "/dev/fd0"; }

bool CanStandForFloppyDrive(const std::string&) { return true; }

std::vector<THostDrive> ScanHostDrives() { return linuxhost::ScanDrives().drives; }

// A device the service does not know (a loop device, an image file) is the kernel's to describe.
std::optional<THostDrive> DescribeHostDrive(const std::string& device) {
    if (auto drive = linuxhost::TUdisks::Describe(device)) return drive;
    return linuxhost::DescribeNode(device, {});
}

bool DriveWritesNeedAdministrator(TDriveWrite kind) {
    return kind == TDriveWrite::Removable && linuxhost::RemovableWritesNeedRoot(linuxhost::TUdisks::Answers());
}

StrId DriveRightsText(TFrontEnd) { return StrId::DRIVE_NEEDSADMIN; }

std::string DriveServiceProblem() { return linuxhost::UdisksModuleProblem(); }

}  // namespace bootdisk
