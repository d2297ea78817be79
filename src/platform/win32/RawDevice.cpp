// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RawDevice.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cctype>
#include <optional>

#include "platform/win32/DiskVolumes.h"
#include "platform/win32/ErrorMode.h"
#include "platform/win32/Utf8.h"
#include "platform/win32/Win32Calls.h"

namespace bootdisk {
namespace {

// A drive's device: a volume (a floppy drive, a drive that is no disk of its own), which it locks
// and dismounts itself, or the whole removable disk behind a drive letter, whose volumes
// HoldVolumes takes.
class TWin32RawDevice : public IRawDevice {
public:
    TWin32RawDevice(IWin32Calls& calls, TOwnedHandle handle, bool wholeDisk)
        : calls_(calls), handle_(std::move(handle)), wholeDisk_(wholeDisk), locks_(calls) {}

    std::uint32_t QuerySize(std::uint64_t& size) override {
        GET_LENGTH_INFORMATION info{};
        DWORD returned = 0;
        if (!calls_.DeviceIoControl(handle_.Get(), IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &info, sizeof info,
                                    &returned))
            return calls_.GetLastError();
        size = static_cast<std::uint64_t>(info.Length.QuadPart);
        return 0;
    }
    std::uint32_t Seek(std::uint64_t offset) override {
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(offset);
        return calls_.SetFilePointerEx(handle_.Get(), to) ? 0 : calls_.GetLastError();
    }
    TTransfer Read(std::span<std::uint8_t> data) override {
        return Loop(data.size(), [&](std::size_t done, DWORD chunk, DWORD& moved) {
            return calls_.ReadFile(handle_.Get(), data.data() + done, chunk, &moved);
        });
    }
    TTransfer Write(std::span<const std::uint8_t> data) override {
        return Loop(data.size(), [&](std::size_t done, DWORD chunk, DWORD& moved) {
            return calls_.WriteFile(handle_.Get(), data.data() + done, chunk, &moved);
        });
    }
    std::uint32_t Flush() override { return calls_.FlushFileBuffers(handle_.Get()) ? 0 : calls_.GetLastError(); }
    std::uint32_t Lock() override {
        return wholeDisk_ || locks_.Locked() ? 0 : locks_.LockVolume(handle_.Get());
    }
    std::uint32_t Unlock() override { return locks_.Unlock(); }
    // The system dismounts a volume also for a handle that holds no lock.
    std::uint32_t Dismount() override {
        if (wholeDisk_) return 0;
        DWORD returned = 0;
        return calls_.DeviceIoControl(handle_.Get(), FSCTL_DISMOUNT_VOLUME, nullptr, 0, nullptr, 0, &returned)
                   ? 0
                   : calls_.GetLastError();
    }
    // A floppy drive's medium has nothing to tell it by.
    std::optional<TDiskIdentity> Identify() override {
        if (!wholeDisk_) return std::nullopt;
        return AskDisk(calls_, handle_.Get()).Identity();
    }

private:
    template <typename TCall>
    TTransfer Loop(std::size_t length, TCall call) {
        constexpr std::size_t kChunk = 1u << 30;  // whole sectors, within a DWORD
        TTransfer result;
        while (result.moved < length) {
            const auto chunk = static_cast<DWORD>(std::min(length - result.moved, kChunk));
            DWORD moved = 0;
            const BOOL ok = call(result.moved, chunk, moved);
            result.moved += moved;
            if (!ok) {
                result.error = calls_.GetLastError();
                break;
            }
            if (moved == 0) break;
        }
        return result;
    }

    IWin32Calls& calls_;
    TOwnedHandle handle_;
    bool wholeDisk_;
    TVolumeLocks locks_;  // released before the handle closes
};

std::wstring Root(char drive) { return std::wstring(1, wchar_t(drive)) + L":\\"; }

class TWin32RawDevices : public IHostRawDevices {
public:
    explicit TWin32RawDevices(IWin32Calls& calls) : calls_(calls) {}

    // Drives are the system's own letters.
    void Assign(char, std::string, THostDriveType) override {}
    char Attach(const std::string& device, THostDriveType) override {
        if (device.size() != 2 || device[1] != ':' || !std::isalpha(static_cast<unsigned char>(device[0]))) return 0;
        return static_cast<char>(std::toupper(static_cast<unsigned char>(device[0])));
    }

    // A removable drive's letter stands for its whole disk, as the boot image starts at the disk's
    // first sector, whatever partitions the stick had; floppy drives A: and B: are their own device.
    // A removable drive whose disk cannot be found is not opened at all: its volume alone would
    // take the image and not boot.
    std::unique_ptr<IRawDevice> Open(char drive, TDeviceAccess access, std::uint32_t& error) override {
        const auto disk = DiskOf(drive);
        if (!disk && !IsFloppyLetter(drive) && DriveType(drive) == THostDriveType::Removable) {
            error = kErrorNoWholeDisk;
            return nullptr;
        }
        const std::wstring path = disk ? L"\\\\.\\PhysicalDrive" + Widen(std::to_string(*disk))
                                       : L"\\\\.\\" + std::wstring(1, wchar_t(drive)) + L":";
        const DWORD desired = access == TDeviceAccess::ReadOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
        // The device stays shared with the system; the volume locks make the access exclusive.
        auto handle = OpenDeviceQuietly(calls_, path, desired);
        if (!handle) {
            error = calls_.GetLastError();
            return nullptr;
        }
        error = 0;
        return std::make_unique<TWin32RawDevice>(calls_, std::move(handle), disk.has_value());
    }
    // A drive that is no disk of its own has no volumes beside its own, which its device takes.
    std::unique_ptr<TVolumeHold> HoldVolumes(char drive, std::uint32_t& error) override {
        auto locks = std::make_unique<TVolumeLocks>(calls_);
        const auto disk = DiskOf(drive);
        const TNoCriticalErrorBoxes quiet(calls_);
        if (disk && ((error = locks->LockDisk(*disk)) != 0 || (error = locks->Dismount()) != 0)) return nullptr;
        error = 0;
        return locks;
    }
    std::optional<TVolumeInfo> Volume(char drive) const override {
        wchar_t label[1000] = {};
        wchar_t fileSystem[1000] = {};
        const TNoCriticalErrorBoxes quiet(calls_);
        if (!calls_.GetVolumeInformationW(Root(drive), label, 1000, fileSystem, 1000)) return std::nullopt;
        return TVolumeInfo{Narrow(label), Narrow(fileSystem)};
    }
    std::optional<TFreeSpace> FreeSpace(char drive) const override {
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
        const TNoCriticalErrorBoxes quiet(calls_);
        if (!calls_.GetDiskFreeSpaceW(Root(drive), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
            return std::nullopt;
        return TFreeSpace{sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
    }
    THostDriveType DriveType(char drive) const override {
        switch (calls_.GetDriveTypeW(Root(drive))) {
            case DRIVE_UNKNOWN: return THostDriveType::Unknown;
            case DRIVE_REMOVABLE: return THostDriveType::Removable;
            case DRIVE_FIXED: return THostDriveType::Fixed;
            default: return THostDriveType::Other;
        }
    }
    std::vector<std::string> MountPoints(char) const override { return {}; }
    std::string Unmount(char) override { return {}; }

private:
    static bool IsFloppyLetter(char drive) {
        drive = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
        return drive == 'A' || drive == 'B';
    }
    std::optional<std::uint32_t> DiskOf(char drive) const {
        if (IsFloppyLetter(drive) || DriveType(drive) != THostDriveType::Removable) return std::nullopt;
        return DiskNumberOf(calls_, drive);
    }

    IWin32Calls& calls_;
};

}  // namespace

std::unique_ptr<IHostRawDevices> CreateWin32RawDevices(IWin32Calls& calls) {
    return std::make_unique<TWin32RawDevices>(calls);
}

std::unique_ptr<IHostRawDevices> CreateHostRawDevices() { return CreateWin32RawDevices(HostWin32Calls()); }

}  // namespace bootdisk
