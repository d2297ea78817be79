// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/BlockDevices.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace bootdisk::linuxhost {
namespace {

namespace fs = std::filesystem;

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::optional<fs::path> Folder(const std::string& number, const TSystemPaths& paths) {
    std::error_code error;
    fs::path folder = fs::canonical(fs::path(paths.sys) / "dev/block" / number, error);
    if (error) return std::nullopt;
    return folder;
}

// Mount table fields escape blanks and a few other characters as octal triplets ("\040").
std::string Unescape(const std::string& field) {
    const auto octal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(field[i + 1]) && octal(field[i + 2]) &&
            octal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

}  // namespace

std::string NumberText(dev_t number) { return std::to_string(major(number)) + ":" + std::to_string(minor(number)); }

std::optional<std::string> NodeNumber(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISBLK(info.st_mode)) return std::nullopt;
    return NumberText(info.st_rdev);
}

// A partition's sysfs folder sits inside its disk's.
std::optional<std::string> DiskOf(const std::string& number, const TSystemPaths& paths) {
    const auto folder = Folder(number, paths);
    if (!folder) return std::nullopt;
    std::error_code error;
    if (!fs::exists(*folder / "partition", error)) return number;
    const std::string parent = FirstLine(folder->parent_path() / "dev");
    return parent.empty() ? std::nullopt : std::optional(parent);
}

std::optional<std::string> BlockFolder(const std::string& number, const TSystemPaths& paths) {
    const auto folder = Folder(number, paths);
    if (!folder) return std::nullopt;
    return folder->string();
}

// The floppy driver is told by its name: not every kernel marks its drives removable.
THostDriveType BlockType(const std::string& folder) {
    const fs::path block(folder);
    std::error_code error;
    if (fs::exists(block / "partition", error)) return THostDriveType::Partition;
    if (block.filename().string().starts_with("fd") || FirstLine(block / "removable") == "1")
        return THostDriveType::Removable;
    return THostDriveType::Fixed;
}

THostDriveType BlockNodeType(const std::string& path, const TSystemPaths& paths) {
    const auto number = NodeNumber(path);
    const auto folder = number ? BlockFolder(*number, paths) : std::nullopt;
    return folder ? BlockType(*folder) : THostDriveType::Unknown;
}

std::optional<std::string> DiskNumberOfNode(const std::string& path, const TSystemPaths& paths) {
    const auto number = NodeNumber(path);
    return number ? DiskOf(*number, paths) : std::nullopt;
}

std::vector<std::string> MountPointsOnDisk(const std::string& disk, const TSystemPaths& paths) {
    std::vector<std::string> points;
    std::ifstream table(paths.mounts);
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string source, target;
        if (!(fields >> source >> target) || source.empty() || source.front() != '/') continue;
        if (DiskNumberOfNode(Unescape(source), paths) == disk) points.push_back(Unescape(target));
    }
    return points;
}

namespace {

constexpr const char* kSystemMountPoints[] = {
    "/", "/boot", "/boot/efi", "/usr",
    // Where live systems mount the medium they booted from (Debian, dracut, casper, Arch).
    "/run/live/medium", "/lib/live/mount/medium", "/run/initramfs/live", "/cdrom", "/run/archiso/bootmnt"};

struct TMount {
    std::string source, target, type, options;
};

std::vector<TMount> ReadMounts(const std::string& path) {
    std::vector<TMount> mounts;
    std::ifstream table(path);
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        TMount mount;
        if (fields >> mount.source >> mount.target >> mount.type >> mount.options)
            mounts.push_back({Unescape(mount.source), Unescape(mount.target), mount.type, mount.options});
    }
    return mounts;
}

// The file system holding path: the mount with the longest target above it, the last one mounted
// where several share it.
const TMount* MountHolding(const std::vector<TMount>& mounts, const std::string& path) {
    const TMount* found = nullptr;
    for (const auto& mount : mounts) {
        const auto& target = mount.target;
        const bool above = target == "/" || path == target || (path.starts_with(target) && path[target.size()] == '/');
        if (above && (!found || target.size() >= found->target.size())) found = &mount;
    }
    return found;
}

// The folders an overlay is made of: "lowerdir=/a:/b,upperdir=/c,workdir=/d" gives /a, /b and /c.
std::vector<std::string> OverlayFolders(const std::string& options) {
    std::vector<std::string> folders;
    std::istringstream list(options);
    std::string option;
    while (std::getline(list, option, ',')) {
        const bool lower = option.starts_with("lowerdir="), upper = option.starts_with("upperdir=");
        if (!lower && !upper) continue;
        std::istringstream paths(option.substr(option.find('=') + 1));
        std::string folder;
        while (std::getline(paths, folder, ':'))
            if (!folder.empty()) folders.push_back(folder);
    }
    return folders;
}

class TSystemDiskSearch {
public:
    TSystemDiskSearch(const TSystemPaths& paths) : paths_(paths), mounts_(ReadMounts(paths.mounts)) {}

    TSystemDisks Find() {
        for (const auto& mount : mounts_)
            if (IsSystemMountPoint(mount.target)) Follow(mount, 0);
        // The root as the kernel numbers it; an overlay or btrfs root has a number of its own.
        struct stat info {};
        if (::stat(paths_.root.c_str(), &info) == 0 && major(info.st_dev) != 0) AddDisk(NumberText(info.st_dev));
        std::ifstream swaps(paths_.swaps);
        std::string line;
        std::getline(swaps, line);  // the header
        while (std::getline(swaps, line)) {
            std::istringstream fields(line);
            std::string name;
            if (!(fields >> name)) continue;
            name = Unescape(name);
            if (const auto number = NodeNumber(name)) AddDisk(*number);
            else FollowPath(name, 0);  // a swap file: the disk of its file system
        }
        return found_;
    }

private:
    static constexpr int kDeepest = 8;  // overlays of loop devices of files on overlays...

    void AddDisk(const std::string& number) {
        if (const auto disk = DiskOf(number, paths_)) found_.numbers.insert(*disk);
    }
    void FollowPath(const std::string& path, int depth) {
        if (const auto* mount = MountHolding(mounts_, path)) Follow(*mount, depth);
    }
    void Follow(const TMount& mount, int depth) {
        if (depth > kDeepest) return;
        if (mount.type == "zfs") found_.onZfs = true;
        if (mount.type == "overlay")
            for (const auto& folder : OverlayFolders(mount.options)) FollowPath(folder, depth + 1);
        if (!mount.source.starts_with("/")) return;
        if (const auto number = NodeNumber(mount.source)) AddDisk(*number);
        // A loop device's file lies on another file system, a live stick's for a live root.
        const auto name = std::filesystem::path(mount.source).filename().string();
        if (name.starts_with("loop")) {
            const auto backing = FirstLine(std::filesystem::path(paths_.sys) / "block" / name / "loop/backing_file");
            if (!backing.empty()) FollowPath(backing, depth + 1);
        }
    }

    const TSystemPaths& paths_;
    std::vector<TMount> mounts_;
    TSystemDisks found_;
};

}  // namespace

bool IsSystemMountPoint(const std::string& point) {
    return std::find(std::begin(kSystemMountPoints), std::end(kSystemMountPoints), point) != std::end(kSystemMountPoints);
}

TSystemDisks SystemDisks(const TSystemPaths& paths) { return TSystemDiskSearch(paths).Find(); }

std::vector<std::string> HoldersOfDisk(const std::string& blockName, const TSystemPaths& paths) {
    std::vector<std::string> holders;
    std::error_code error;
    const fs::path disk = fs::path(paths.sys) / "block" / blockName;
    const auto collect = [&](const fs::path& folder) {
        for (const auto& entry : fs::directory_iterator(folder / "holders", error))
            holders.push_back(entry.path().filename().string());
    };
    collect(disk);
    for (const auto& entry : fs::directory_iterator(disk, error))
        if (fs::exists(entry.path() / "partition", error)) collect(entry.path());
    return holders;
}

}  // namespace bootdisk::linuxhost
