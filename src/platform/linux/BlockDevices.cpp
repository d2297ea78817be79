// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/BlockDevices.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
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

std::optional<std::string> SystemDiskNumber(const TSystemPaths& paths) {
    struct stat info {};
    if (::stat(paths.root.c_str(), &info) != 0 || major(info.st_dev) == 0) return std::nullopt;
    return DiskOf(NumberText(info.st_dev), paths);
}

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
