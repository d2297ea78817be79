// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RawDevice.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cctype>

#include "platform/win32/ErrorMode.h"
#include "platform/win32/Utf8.h"

namespace bootdisk {
namespace {

std::uint32_t LastOsError() { return static_cast<std::uint32_t>(GetLastError()); }

class TWin32RawDevice : public IRawDevice {
public:
    explicit TWin32RawDevice(HANDLE handle) : handle_(handle) {}
    ~TWin32RawDevice() override { CloseHandle(handle_); }
    TWin32RawDevice(const TWin32RawDevice&) = delete;
    TWin32RawDevice& operator=(const TWin32RawDevice&) = delete;

    std::uint32_t QuerySize(std::uint64_t& size) override {
        GET_LENGTH_INFORMATION info{};
        DWORD returned = 0;
        if (!DeviceIoControl(handle_, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &info, sizeof info, &returned, nullptr))
            return LastOsError();
        size = static_cast<std::uint64_t>(info.Length.QuadPart);
        return 0;
    }
    std::uint32_t Seek(std::uint64_t offset) override {
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) ? 0 : LastOsError();
    }
    TTransfer Read(std::span<std::uint8_t> data) override {
        return Loop(data.size(), [&](std::size_t done, DWORD chunk, DWORD& moved) {
            return ReadFile(handle_, data.data() + done, chunk, &moved, nullptr);
        });
    }
    TTransfer Write(std::span<const std::uint8_t> data) override {
        return Loop(data.size(), [&](std::size_t done, DWORD chunk, DWORD& moved) {
            return WriteFile(handle_, data.data() + done, chunk, &moved, nullptr);
        });
    }
    std::uint32_t Flush() override { return FlushFileBuffers(handle_) ? 0 : LastOsError(); }
    std::uint32_t Lock() override { return Control(FSCTL_LOCK_VOLUME); }
    std::uint32_t Unlock() override { return Control(FSCTL_UNLOCK_VOLUME); }
    std::uint32_t Dismount() override { return Control(FSCTL_DISMOUNT_VOLUME); }

private:
    std::uint32_t Control(DWORD code) {
        DWORD returned = 0;
        return DeviceIoControl(handle_, code, nullptr, 0, nullptr, 0, &returned, nullptr) ? 0 : LastOsError();
    }
    template <typename TCall>
    static TTransfer Loop(std::size_t length, TCall call) {
        constexpr std::size_t kChunk = 1u << 30;  // whole sectors, within a DWORD
        TTransfer result;
        while (result.moved < length) {
            const auto chunk = static_cast<DWORD>(std::min(length - result.moved, kChunk));
            DWORD moved = 0;
            const BOOL ok = call(result.moved, chunk, moved);
            result.moved += moved;
            if (!ok) {
                result.error = LastOsError();
                break;
            }
            if (moved == 0) break;
        }
        return result;
    }
    HANDLE handle_;
};

std::string Root(char drive) { return std::string(1, drive) + ":\\"; }

class TWin32RawDevices : public IHostRawDevices {
public:
    // Drives are the system's own letters.
    void Assign(char, std::string, THostDriveType) override {}
    char Attach(const std::string& device, THostDriveType) override {
        if (device.size() != 2 || device[1] != ':' || !std::isalpha(static_cast<unsigned char>(device[0]))) return 0;
        return static_cast<char>(std::toupper(static_cast<unsigned char>(device[0])));
    }

    std::unique_ptr<IRawDevice> Open(char drive, TDeviceAccess access, std::uint32_t& error) override {
        const std::string path = std::string("\\\\.\\") + drive + ":";
        const DWORD desired = access == TDeviceAccess::ReadOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
        const TNoCriticalErrorBoxes quiet;
        // The volume stays shared with the system; the volume lock makes the access exclusive.
        const HANDLE handle = CreateFileA(path.c_str(), desired, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            error = LastOsError();
            return nullptr;
        }
        error = 0;
        return std::make_unique<TWin32RawDevice>(handle);
    }
    std::optional<TVolumeInfo> Volume(char drive) const override {
        wchar_t label[1000] = {};
        wchar_t fileSystem[1000] = {};
        const TNoCriticalErrorBoxes quiet;
        if (!GetVolumeInformationW(Widen(Root(drive)).c_str(), label, 1000, nullptr, nullptr, nullptr, fileSystem, 1000))
            return std::nullopt;
        return TVolumeInfo{Narrow(label), Narrow(fileSystem)};
    }
    std::optional<TFreeSpace> FreeSpace(char drive) const override {
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
        const TNoCriticalErrorBoxes quiet;
        if (!GetDiskFreeSpaceA(Root(drive).c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                               &totalClusters))
            return std::nullopt;
        return TFreeSpace{sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
    }
    THostDriveType DriveType(char drive) const override {
        switch (GetDriveTypeA(Root(drive).c_str())) {
            case DRIVE_UNKNOWN: return THostDriveType::Unknown;
            case DRIVE_REMOVABLE: return THostDriveType::Removable;
            case DRIVE_FIXED: return THostDriveType::Fixed;
            default: return THostDriveType::Other;
        }
    }
    std::vector<std::string> MountPoints(char) const override { return {}; }
    std::string Unmount(char) override { return {}; }
};

}  // namespace

std::unique_ptr<IHostRawDevices> CreateHostRawDevices() { return std::make_unique<TWin32RawDevices>(); }

}  // namespace bootdisk
