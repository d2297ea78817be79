// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RawDevice.h"

#include "platform/linux/BlockDevices.h"
#include "platform/linux/Udisks.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <map>
#include <utility>

#include "platform/Host.h"

namespace bootdisk {
namespace {

std::uint32_t LastErrno() { return static_cast<std::uint32_t>(errno); }

class TLinuxRawDevice : public IRawDevice {
public:
    TLinuxRawDevice(int fd, std::string path, const linuxhost::TSystemPaths& paths)
        : fd_(fd), path_(std::move(path)), paths_(paths) {}
    ~TLinuxRawDevice() override { ::close(fd_); }
    TLinuxRawDevice(const TLinuxRawDevice&) = delete;
    TLinuxRawDevice& operator=(const TLinuxRawDevice&) = delete;

    std::uint32_t QuerySize(std::uint64_t& size) override {
        struct stat info {};
        if (::fstat(fd_, &info) != 0) return LastErrno();
        if (S_ISBLK(info.st_mode)) return ::ioctl(fd_, BLKGETSIZE64, &size) == 0 ? 0 : LastErrno();
        size = static_cast<std::uint64_t>(info.st_size);
        return 0;
    }
    std::uint32_t Seek(std::uint64_t offset) override {
        return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0 ? LastErrno() : 0;
    }
    TTransfer Read(std::span<std::uint8_t> data) override {
        return Loop(data.size(), [&](std::size_t done) { return ::read(fd_, data.data() + done, data.size() - done); });
    }
    TTransfer Write(std::span<const std::uint8_t> data) override {
        return Loop(data.size(), [&](std::size_t done) { return ::write(fd_, data.data() + done, data.size() - done); });
    }
    // Also drops the kernel's cached copy of a block device, so that a read-back reads the medium:
    // the whole buffer where allowed (it takes administrator rights), else the device's clean pages.
    std::uint32_t Flush() override {
        if (::fsync(fd_) != 0) return LastErrno();
        struct stat info {};
        if (::fstat(fd_, &info) == 0 && S_ISBLK(info.st_mode) && ::ioctl(fd_, BLKFLSBUF, 0) != 0)
            ::posix_fadvise(fd_, 0, 0, POSIX_FADV_DONTNEED);
        return 0;
    }
    // Linux keeps no volume locks; the exclusive open keeps mounts and other openers away.
    std::uint32_t Lock() override { return 0; }
    std::uint32_t Unlock() override { return 0; }
    std::uint32_t Dismount() override { return 0; }
    // A block device by the number of what the descriptor reaches, whatever its node now names;
    // anything else (the disk service's stand-in, an image file) by its path.
    std::optional<TDiskIdentity> Identify() override {
        struct stat info {};
        if (::fstat(fd_, &info) != 0) return TDiskIdentity{};
        const bool block = S_ISBLK(info.st_mode);
        const auto number = block ? linuxhost::NumberText(info.st_rdev) : std::string();
        auto drive = linuxhost::TUdisks::Describe(block ? "/dev/block/" + number : path_);
        if (!drive && block) drive = linuxhost::DescribeNumber(number, paths_);
        if (!drive) return block ? std::optional(TDiskIdentity{number, {}, {}}) : std::nullopt;
        return TDiskIdentity{number, drive->identity, drive->Details()};
    }

private:
    template <typename TCall>
    static TTransfer Loop(std::size_t length, TCall call) {
        TTransfer result;
        while (result.moved < length) {
            const ssize_t n = call(result.moved);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                result.error = LastErrno();
                break;
            }
            if (n == 0) break;  // end of the device
            result.moved += static_cast<std::size_t>(n);
        }
        return result;
    }
    int fd_;
    std::string path_;
    linuxhost::TSystemPaths paths_;
};

class TLinuxRawDevices : public IHostRawDevices {
public:
    explicit TLinuxRawDevices(linuxhost::TSystemPaths paths) : paths_(std::move(paths)) {}
    void Assign(char drive, std::string path, THostDriveType type) override {
        drives_[Key(drive)] = {std::move(path), type};
    }
    char Attach(const std::string& device, THostDriveType type) override {
        for (char letter = 'C'; letter <= 'Z'; ++letter) {
            const auto it = drives_.find(letter);
            if (it != drives_.end() && it->second.path != device) continue;
            Assign(letter, device, type);
            return letter;
        }
        return 0;
    }
    std::unique_ptr<IRawDevice> Open(char drive, TDeviceAccess access, std::uint32_t& error) override {
        const auto it = drives_.find(Key(drive));
        if (it == drives_.end()) {
            error = ENOENT;
            return nullptr;
        }
        const bool write = access == TDeviceAccess::ReadWrite;
        // A disk the system's disk service knows is opened by it, with the user's authorisation.
        if (const auto fd = linuxhost::TUdisks::Open(it->second.path, write)) {
            error = *fd < 0 ? static_cast<std::uint32_t>(-*fd) : 0;
            return *fd < 0 ? nullptr : std::make_unique<TLinuxRawDevice>(*fd, it->second.path, paths_);
        }
        const int fd = ::open(it->second.path.c_str(), (write ? O_RDWR : O_RDONLY) | O_EXCL | O_CLOEXEC);
        if (fd < 0) {
            error = LastErrno();
            return nullptr;
        }
        // O_EXCL makes only block devices exclusive; an image file is held by a lock instead.
        struct stat info {};
        if (::fstat(fd, &info) != 0 || (S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) != 0)) {
            error = LastErrno();
            ::close(fd);
            return nullptr;
        }
        error = 0;
        return std::make_unique<TLinuxRawDevice>(fd, it->second.path, paths_);
    }
    // Letters name devices here, not mounted volumes.
    std::optional<TVolumeInfo> Volume(char) const override { return std::nullopt; }
    std::optional<TFreeSpace> FreeSpace(char) const override { return std::nullopt; }
    // A device is what the disk service or the kernel says now; a file is what its user took it for.
    THostDriveType DriveType(char drive) const override {
        const auto it = drives_.find(Key(drive));
        if (it == drives_.end()) return THostDriveType::Unknown;
        if (const auto known = linuxhost::TUdisks::Describe(it->second.path)) return known->type;
        struct stat info {};
        if (::stat(it->second.path.c_str(), &info) != 0) return THostDriveType::Unknown;
        if (S_ISREG(info.st_mode)) return it->second.type;
        if (!S_ISBLK(info.st_mode)) return THostDriveType::Other;
        return linuxhost::BlockNodeType(it->second.path, paths_);
    }
    std::vector<std::string> MountPoints(char drive) const override {
        const auto it = drives_.find(Key(drive));
        if (it == drives_.end()) return {};
        if (const auto known = linuxhost::TUdisks::Describe(it->second.path)) return known->mountPoints;
        const auto disk = linuxhost::DiskNumberOfNode(it->second.path, paths_);
        return disk ? linuxhost::MountPointsOnDisk(*disk, paths_) : std::vector<std::string>{};
    }
    std::string Unmount(char drive) override {
        const auto it = drives_.find(Key(drive));
        if (it == drives_.end()) return SystemErrorText(ENOENT);
        if (auto reason = linuxhost::TUdisks::Unmount(it->second.path)) return std::move(*reason);
        for (const auto& point : MountPoints(drive))
            if (::umount2(point.c_str(), UMOUNT_NOFOLLOW) != 0) return point + ": " + SystemErrorText(LastErrno());
        return {};
    }

private:
    struct TEntry {
        std::string path;
        THostDriveType type;
    };
    static char Key(char drive) { return static_cast<char>(std::toupper(static_cast<unsigned char>(drive))); }
    linuxhost::TSystemPaths paths_;
    std::map<char, TEntry> drives_;
};

}  // namespace

std::unique_ptr<IHostRawDevices> linuxhost::CreateRawDevices(const TSystemPaths& paths) {
    return std::make_unique<TLinuxRawDevices>(paths);
}

std::unique_ptr<IHostRawDevices> CreateHostRawDevices() { return linuxhost::CreateRawDevices({}); }

}  // namespace bootdisk
