// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/DiskVolumes.h"

#include <winioctl.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/HostDrives.h"
#include "platform/StorageDescriptor.h"
#include "platform/win32/ErrorMode.h"
#include "platform/win32/Utf8.h"

namespace bootdisk {
namespace {

// Whether the volume has an extent on disk. A volume without a medium (an empty card reader)
// answers nothing and has none.
bool OnDisk(IWin32Calls& calls, HANDLE volume, std::uint32_t disk) {
    // Room for a volume spread over a few disks; one of a removable disk has a single extent.
    constexpr std::size_t kFirst = offsetof(VOLUME_DISK_EXTENTS, Extents);
    alignas(VOLUME_DISK_EXTENTS) std::array<std::uint8_t, kFirst + 8 * sizeof(DISK_EXTENT)> answer{};
    DWORD returned = 0;
    if (!calls.DeviceIoControl(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, answer.data(),
                               DWORD(answer.size()), &returned))
        return false;
    // Only the extents the answer holds count, whatever number it names.
    const DWORD held = returned > kFirst ? DWORD((returned - kFirst) / sizeof(DISK_EXTENT)) : 0;
    DWORD count = 0;
    std::memcpy(&count, answer.data(), sizeof count);
    for (DWORD i = 0; i < std::min(count, held); ++i) {
        DISK_EXTENT extent;
        std::memcpy(&extent, answer.data() + kFirst + i * sizeof(DISK_EXTENT), sizeof extent);
        if (extent.DiskNumber == disk) return true;
    }
    return false;
}

}  // namespace

std::uint32_t TVolumeLocks::Control(HANDLE volume, DWORD code) {
    DWORD returned = 0;
    return calls_.DeviceIoControl(volume, code, nullptr, 0, nullptr, 0, &returned) ? 0 : calls_.GetLastError();
}

std::uint32_t TVolumeLocks::LockPatiently(HANDLE volume) {
    std::uint32_t error = 0;
    for (int attempt = 0; attempt < kVolumeLockAttempts; ++attempt) {
        if (attempt > 0) calls_.Sleep(kVolumeLockPauseMs);
        if ((error = Control(volume, FSCTL_LOCK_VOLUME)) == 0) return 0;
    }
    return error;
}

std::uint32_t TVolumeLocks::LockVolume(HANDLE volume) {
    const std::uint32_t error = LockPatiently(volume);
    if (error == 0) volumes_.push_back(volume);
    return error;
}

std::uint32_t TVolumeLocks::LockDisk(std::uint32_t disk) {
    std::vector<TOwnedHandle> found;
    std::array<wchar_t, MAX_PATH> name{};
    const HANDLE find = calls_.FindFirstVolumeW(name.data(), DWORD(name.size()));
    if (find != INVALID_HANDLE_VALUE) {
        do {
            // The volume's device, not its root folder: the name without its last backslash.
            std::wstring path(name.data());
            if (!path.empty() && path.back() == L'\\') path.pop_back();
            // Asking where a volume lies needs no access, so other disks' volumes are only looked at.
            if (const auto probe = OpenDeviceQuietly(calls_, path, 0); !probe || !OnDisk(calls_, probe.Get(), disk))
                continue;
            auto volume = OpenDeviceQuietly(calls_, path, GENERIC_READ | GENERIC_WRITE);
            if (!volume) {
                const std::uint32_t error = calls_.GetLastError();
                calls_.FindVolumeClose(find);
                return error;
            }
            found.push_back(std::move(volume));
        } while (calls_.FindNextVolumeW(find, name.data(), DWORD(name.size())));
        calls_.FindVolumeClose(find);
    }
    for (auto& volume : found) {
        if (const std::uint32_t error = LockVolume(volume.Get()); error != 0) {
            Unlock();
            return error;
        }
        owned_.push_back(std::move(volume));
    }
    return 0;
}

std::uint32_t TVolumeLocks::Dismount() {
    std::uint32_t first = 0;
    for (const HANDLE volume : volumes_)
        if (const std::uint32_t error = Control(volume, FSCTL_DISMOUNT_VOLUME); first == 0) first = error;
    return first;
}

std::uint32_t TVolumeLocks::Unlock() {
    std::uint32_t first = 0;
    for (const HANDLE volume : volumes_)
        if (const std::uint32_t error = Control(volume, FSCTL_UNLOCK_VOLUME); first == 0) first = error;
    volumes_.clear();
    owned_.clear();
    return first;
}

namespace {

std::optional<std::uint32_t> NumberOf(IWin32Calls& calls, HANDLE handle) {
    STORAGE_DEVICE_NUMBER number{};
    DWORD returned = 0;
    if (!calls.DeviceIoControl(handle, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number, &returned) ||
        number.DeviceType != FILE_DEVICE_DISK)
        return std::nullopt;
    return number.DeviceNumber;
}

}  // namespace

std::optional<std::uint32_t> DiskNumberOf(IWin32Calls& calls, char drive) {
    const auto volume = OpenDeviceQuietly(calls, L"\\\\.\\" + std::wstring(1, wchar_t(drive)) + L":", 0);
    return volume ? NumberOf(calls, volume.Get()) : std::nullopt;
}

TDiskAnswers AskDisk(IWin32Calls& calls, HANDLE handle) {
    TDiskAnswers disk;
    disk.number = NumberOf(calls, handle);
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    std::vector<std::uint8_t> answer(1024);
    DWORD returned = 0;
    if (calls.DeviceIoControl(handle, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, answer.data(),
                              DWORD(answer.size()), &returned)) {
        const auto told = std::span(answer).first(std::min<std::size_t>(returned, answer.size()));
        disk.model = DescriptorModel(told);
        disk.serial = DescriptorSerial(told);
    }
    DISK_GEOMETRY_EX geometry{};
    if (calls.DeviceIoControl(handle, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry, sizeof geometry,
                              &returned) &&
        geometry.DiskSize.QuadPart > 0)
        disk.size = std::uint64_t(geometry.DiskSize.QuadPart);
    return disk;
}

TDiskIdentity TDiskAnswers::Identity() const {
    THostDrive named;
    named.model = model;
    named.size = size;
    return {number ? std::to_string(*number) : std::string(), model + " " + std::to_string(size) + " " + serial,
            named.Details()};
}

std::vector<std::string> LetteredVolumesOf(IWin32Calls& calls, std::uint32_t disk) {
    std::vector<std::string> volumes;
    const TNoCriticalErrorBoxes quiet(calls);
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        const std::wstring root = std::wstring(1, wchar_t(letter)) + L":\\";
        const UINT type = calls.GetDriveTypeW(root);
        // Only a disk's own volumes can lie on it; a network drive is not even asked.
        if ((type != DRIVE_REMOVABLE && type != DRIVE_FIXED) || DiskNumberOf(calls, letter) != disk) continue;
        wchar_t label[MAX_PATH + 1] = {}, fileSystem[MAX_PATH + 1] = {};
        std::string details;
        if (calls.GetVolumeInformationW(root, label, MAX_PATH + 1, fileSystem, MAX_PATH + 1) && label[0])
            details = Narrow(label);
        DWORD perCluster = 0, perSector = 0, free = 0, total = 0;
        if (calls.GetDiskFreeSpaceW(root, &perCluster, &perSector, &free, &total))
            details += (details.empty() ? "" : ", ") + FormatSize(std::uint64_t(total) * perCluster * perSector);
        volumes.push_back(std::string(1, letter) + ":" + (details.empty() ? "" : " (" + details + ")"));
    }
    return volumes;
}

}  // namespace bootdisk
