// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system as the Windows ports see it, played by the test: disks, their volumes and drive
// letters, the process token, and every call written down in order. Raw writes to a disk are
// refused while a volume on it is mounted and not locked, as Windows does since Vista.
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/Win32Calls.h"

namespace bootdisk::test {

class TFakeWin32 : public IWin32Calls {
public:
    struct TVolume {
        std::wstring name;              // "\\?\Volume{...}\"
        std::optional<char> letter;     // the drive letter it is mounted at
        std::optional<std::uint32_t> disk;  // nothing for a drive without a medium
        int busy = 0;                   // lock attempts still refused because a program holds it
        bool locked = false, mounted = true;
        std::wstring label{};           // the file system's name; with bytes, told at its root
        std::uint64_t bytes = 0;
    };
    // What a disk's device descriptor says of it.
    struct TDescriptor {
        std::string vendor, product, serial;
    };
    struct TOpen {
        std::wstring path;
        std::string access;  // " rw", " r" or " query"
        std::uint64_t position = 0;
    };

    std::vector<TVolume> volumes;
    std::map<std::uint32_t, std::vector<std::uint8_t>> disks;  // \\.\PhysicalDriveN
    std::map<std::uint32_t, TDescriptor> descriptors;
    std::map<char, UINT> driveTypes;
    // Answers the calls this stand-in does not know itself (pass-through commands); path is what
    // the handle was opened as.
    std::function<BOOL(const std::wstring& path, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                       DWORD* returned)>
        control;
    std::optional<bool> elevated;  // nothing: the token cannot be asked
    bool administrator = false;
    std::vector<char> withoutMedium;  // drives that answer an open with "not ready"
    int errorBoxes = 0;               // boxes the system would have shown, holding up the program

    std::vector<std::string> log;  // "CreateFileW \\.\E: rw", "DeviceIoControl ... FSCTL_LOCK_VOLUME", ...
    std::map<HANDLE, TOpen> open;
    UINT errorMode = 0;
    DWORD sleptMs = 0;

    HANDLE CreateFileW(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) override {
        const std::string mode = access & GENERIC_WRITE ? " rw" : access ? " r" : " query";
        Note("CreateFileW " + Narrow(path) + mode +
             (share == (FILE_SHARE_READ | FILE_SHARE_WRITE) && disposition == OPEN_EXISTING ? "" : " ?"));
        const auto letter = LetterOf(path);
        if (letter && std::count(withoutMedium.begin(), withoutMedium.end(), *letter)) {
            if (!(errorMode & SEM_FAILCRITICALERRORS)) ++errorBoxes;
            return Refused(ERROR_NOT_READY);
        }
        if (!Exists(path)) return Refused(ERROR_FILE_NOT_FOUND);
        const auto handle = reinterpret_cast<HANDLE>(std::uintptr_t(0x1000 + next_++));
        open[handle] = {path, mode};
        return handle;
    }
    BOOL CloseHandle(HANDLE handle) override {
        const auto found = open.find(handle);
        if (found == open.end()) return Refuse(ERROR_INVALID_HANDLE);
        Note("CloseHandle " + Narrow(found->second.path) + found->second.access);
        // Closing a volume's handle ends its lock.
        if (auto* volume = VolumeAt(found->second.path)) volume->locked = false;
        open.erase(found);
        return TRUE;
    }
    BOOL DeviceIoControl(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                         DWORD* returned) override {
        const auto found = open.find(handle);
        if (found == open.end()) return Refuse(ERROR_INVALID_HANDLE);
        const std::wstring& path = found->second.path;
        Note("DeviceIoControl " + Narrow(path) + " " + ControlName(code));
        *returned = 0;
        auto* volume = VolumeAt(path);
        switch (code) {
            case FSCTL_LOCK_VOLUME:
                if (!volume) return Refuse(ERROR_INVALID_FUNCTION);
                if (volume->busy > 0) {
                    --volume->busy;
                    return Refuse(ERROR_ACCESS_DENIED);
                }
                volume->locked = true;
                return TRUE;
            case FSCTL_DISMOUNT_VOLUME:
                if (!volume) return Refuse(ERROR_INVALID_FUNCTION);
                volume->mounted = false;
                return TRUE;
            case FSCTL_UNLOCK_VOLUME:
                if (!volume || !volume->locked) return Refuse(ERROR_NOT_LOCKED);
                volume->locked = false;
                return TRUE;
            case IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS: {
                if (!volume || !volume->disk || outSize < sizeof(VOLUME_DISK_EXTENTS))
                    return Refuse(ERROR_NOT_READY);
                VOLUME_DISK_EXTENTS extents{};
                extents.NumberOfDiskExtents = 1;
                extents.Extents[0].DiskNumber = *volume->disk;
                std::memcpy(out, &extents, sizeof extents);
                *returned = sizeof extents;
                return TRUE;
            }
            case IOCTL_STORAGE_GET_DEVICE_NUMBER: {
                const auto disk = DiskOf(path);
                if (!disk) return Refuse(ERROR_INVALID_FUNCTION);
                STORAGE_DEVICE_NUMBER number{FILE_DEVICE_DISK, *disk, DiskNumberAt(path) ? 0u : 1u};
                std::memcpy(out, &number, sizeof number);
                *returned = sizeof number;
                return TRUE;
            }
            // Asked of a disk or of one of its volumes, the disk answers.
            case IOCTL_STORAGE_QUERY_PROPERTY: {
                const auto disk = DiskOf(path);
                if (!disk || !descriptors.count(*disk)) return Refuse(ERROR_INVALID_FUNCTION);
                const auto& told = descriptors.at(*disk);
                std::vector<std::uint8_t> answer(40);
                const auto text = [&](std::size_t field, const std::string& value) {
                    const auto at = std::uint32_t(answer.size());
                    std::memcpy(&answer[field], &at, 4);
                    answer.insert(answer.end(), value.begin(), value.end());
                    answer.push_back(0);
                };
                text(12, told.vendor);
                text(16, told.product);
                text(24, told.serial);
                if (outSize < answer.size()) return Refuse(ERROR_INSUFFICIENT_BUFFER);
                std::memcpy(out, answer.data(), answer.size());
                *returned = DWORD(answer.size());
                return TRUE;
            }
            case IOCTL_DISK_GET_DRIVE_GEOMETRY_EX: {
                const auto disk = DiskOf(path);
                if (!disk || !disks.count(*disk) || outSize < sizeof(DISK_GEOMETRY_EX)) return Refuse(ERROR_INVALID_FUNCTION);
                DISK_GEOMETRY_EX geometry{};
                geometry.DiskSize.QuadPart = LONGLONG(disks.at(*disk).size());
                std::memcpy(out, &geometry, sizeof geometry);
                *returned = sizeof geometry;
                return TRUE;
            }
            case IOCTL_DISK_GET_LENGTH_INFO:
                if (auto* bytes = DiskAt(path)) {
                    GET_LENGTH_INFORMATION info{};
                    info.Length.QuadPart = LONGLONG(bytes->size());
                    std::memcpy(out, &info, sizeof info);
                    *returned = sizeof info;
                    return TRUE;
                }
                return Refuse(ERROR_INVALID_FUNCTION);
            default:
                if (control) return control(path, code, in, inSize, out, outSize, returned);
                return Refuse(ERROR_INVALID_FUNCTION);
        }
    }
    BOOL ReadFile(HANDLE handle, void* data, DWORD size, DWORD* moved) override {
        return Transfer(handle, size, moved, "ReadFile", [&](std::uint8_t* at) { std::memcpy(data, at, size); });
    }
    BOOL WriteFile(HANDLE handle, const void* data, DWORD size, DWORD* moved) override {
        const auto found = open.find(handle);
        if (found != open.end())
            if (const auto* disk = DiskNumberAt(found->second.path))
                for (const auto& volume : volumes)
                    if (volume.disk == *disk && volume.mounted && !volume.locked) {
                        Note("WriteFile " + Narrow(found->second.path) + " refused: " + Narrow(volume.name) + " mounted");
                        *moved = 0;
                        return Refuse(ERROR_ACCESS_DENIED);
                    }
        return Transfer(handle, size, moved, "WriteFile", [&](std::uint8_t* at) { std::memcpy(at, data, size); });
    }
    BOOL SetFilePointerEx(HANDLE handle, LARGE_INTEGER to) override {
        const auto found = open.find(handle);
        if (found == open.end()) return Refuse(ERROR_INVALID_HANDLE);
        Note("SetFilePointerEx " + Narrow(found->second.path) + " " + std::to_string(to.QuadPart));
        found->second.position = std::uint64_t(to.QuadPart);
        return TRUE;
    }
    BOOL FlushFileBuffers(HANDLE handle) override {
        const auto found = open.find(handle);
        if (found == open.end()) return Refuse(ERROR_INVALID_HANDLE);
        Note("FlushFileBuffers " + Narrow(found->second.path));
        return TRUE;
    }
    DWORD GetLastError() override { return lastError_; }
    UINT SetErrorMode(UINT mode) override {
        Note("SetErrorMode " + std::to_string(mode));
        return std::exchange(errorMode, mode);
    }
    void Sleep(DWORD milliseconds) override {
        Note("Sleep " + std::to_string(milliseconds));
        sleptMs += milliseconds;
    }

    DWORD GetLogicalDrives() override {
        DWORD present = 0;
        for (const auto& [letter, type] : driveTypes) present |= 1u << (letter - 'A');
        return present;
    }
    // The size of the disk whose volume has the letter.
    BOOL GetDiskFreeSpaceExW(const std::wstring& root, ULARGE_INTEGER* total) override {
        Note("GetDiskFreeSpaceExW " + Narrow(root));
        const auto letter = LetterOf(root);
        const auto on = std::find_if(volumes.begin(), volumes.end(),
                                     [&](const TVolume& v) { return letter && v.letter == letter && v.disk; });
        if (on == volumes.end()) return Refuse(ERROR_NOT_READY);
        total->QuadPart = disks.at(*on->disk).size();
        return TRUE;
    }
    UINT GetDriveTypeW(const std::wstring& root) override {
        const auto letter = LetterOf(root);
        const auto found = letter ? driveTypes.find(*letter) : driveTypes.end();
        return found == driveTypes.end() ? DRIVE_NO_ROOT_DIR : found->second;
    }
    BOOL GetVolumeInformationW(const std::wstring& root, wchar_t* label, DWORD labelSize, wchar_t* fileSystem,
                               DWORD fileSystemSize) override {
        const auto* volume = VolumeAt(root);
        if (!volume || volume->label.empty() || volume->label.size() >= labelSize || fileSystemSize < 4)
            return Refuse(ERROR_NOT_READY);
        std::wcscpy(label, volume->label.c_str());
        std::wcscpy(fileSystem, L"FAT");
        return TRUE;
    }
    // Told in 512-byte clusters.
    BOOL GetDiskFreeSpaceW(const std::wstring& root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                           DWORD* freeClusters, DWORD* totalClusters) override {
        const auto* volume = VolumeAt(root);
        if (!volume || volume->bytes == 0) return Refuse(ERROR_NOT_READY);
        *sectorsPerCluster = 1;
        *bytesPerSector = 512;
        *freeClusters = 0;
        *totalClusters = DWORD(volume->bytes / 512);
        return TRUE;
    }
    HANDLE FindFirstVolumeW(wchar_t* name, DWORD size) override {
        Note("FindFirstVolumeW");
        found_ = 0;
        return NextVolume(name, size) ? kFind : INVALID_HANDLE_VALUE;
    }
    BOOL FindNextVolumeW(HANDLE, wchar_t* name, DWORD size) override { return NextVolume(name, size); }
    BOOL FindVolumeClose(HANDLE) override { return TRUE; }

    BOOL OpenProcessToken(DWORD access, HANDLE* token) override {
        Note("OpenProcessToken");
        if (!elevated || access != TOKEN_QUERY) return Refuse(ERROR_ACCESS_DENIED);
        *token = reinterpret_cast<HANDLE>(std::uintptr_t(0x1000 + next_++));
        open[*token] = {L"token", ""};
        return TRUE;
    }
    BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, void* data, DWORD size,
                             DWORD* returned) override {
        Note("GetTokenInformation");
        if (!open.count(token) || kind != TokenElevation || size < sizeof(TOKEN_ELEVATION))
            return Refuse(ERROR_INVALID_PARAMETER);
        static_cast<TOKEN_ELEVATION*>(data)->TokenIsElevated = *elevated ? 1 : 0;
        *returned = sizeof(TOKEN_ELEVATION);
        return TRUE;
    }
    BOOL CheckTokenMembership(HANDLE, PSID group, BOOL* member) override {
        Note("CheckTokenMembership");
        *member = administrator && IsWellKnownSid(group, WinBuiltinAdministratorsSid);
        return TRUE;
    }

    // The log without consecutive repeats: "WriteFile \\.\PhysicalDrive1 9216 x160".
    std::vector<std::string> Summary() const {
        std::vector<std::string> lines;
        std::size_t repeats = 0;
        for (std::size_t i = 0; i < log.size(); ++i) {
            ++repeats;
            if (i + 1 < log.size() && log[i + 1] == log[i]) continue;
            lines.push_back(repeats > 1 ? log[i] + " x" + std::to_string(repeats) : log[i]);
            repeats = 0;
        }
        return lines;
    }

    static std::string Narrow(const std::wstring& text) { return {text.begin(), text.end()}; }

private:
    inline static const HANDLE kFind = reinterpret_cast<HANDLE>(std::uintptr_t(0xF1D));

    void Note(std::string line) { log.push_back(std::move(line)); }
    BOOL Refuse(DWORD error) {
        lastError_ = error;
        return FALSE;
    }
    HANDLE Refused(DWORD error) {
        lastError_ = error;
        return INVALID_HANDLE_VALUE;
    }
    static std::optional<char> LetterOf(const std::wstring& path) {
        // "E:\", "\\.\E:"
        const std::size_t at = path.starts_with(L"\\\\.\\") ? 4 : 0;
        if (path.size() < at + 2 || path[at + 1] != L':') return std::nullopt;
        return char(path[at]);
    }
    TVolume* VolumeAt(const std::wstring& path) {
        const auto letter = LetterOf(path);
        for (auto& volume : volumes)
            if ((letter && volume.letter == letter) || volume.name == path + L"\\") return &volume;
        return nullptr;
    }
    // The disk a disk's or a volume's path reaches.
    std::optional<std::uint32_t> DiskOf(const std::wstring& path) {
        if (const auto* number = DiskNumberAt(path)) return *number;
        const auto* volume = VolumeAt(path);
        return volume ? volume->disk : std::nullopt;
    }
    const std::uint32_t* DiskNumberAt(const std::wstring& path) const {
        for (const auto& [number, bytes] : disks)
            if (path == L"\\\\.\\PhysicalDrive" + std::to_wstring(number)) return &number;
        return nullptr;
    }
    std::vector<std::uint8_t>* DiskAt(const std::wstring& path) {
        const auto* number = DiskNumberAt(path);
        return number ? &disks.at(*number) : nullptr;
    }
    bool Exists(const std::wstring& path) {
        const auto letter = LetterOf(path);
        return DiskAt(path) || VolumeAt(path) || (letter && driveTypes.count(*letter));
    }
    template <typename TCopy>
    BOOL Transfer(HANDLE handle, DWORD size, DWORD* moved, const char* name, TCopy copy) {
        *moved = 0;
        const auto found = open.find(handle);
        if (found == open.end()) return Refuse(ERROR_INVALID_HANDLE);
        Note(std::string(name) + " " + Narrow(found->second.path) + " " + std::to_string(size));
        auto* bytes = DiskAt(found->second.path);
        if (!bytes || found->second.position + size > bytes->size()) return Refuse(ERROR_SECTOR_NOT_FOUND);
        copy(bytes->data() + found->second.position);
        found->second.position += size;
        *moved = size;
        return TRUE;
    }
    BOOL NextVolume(wchar_t* name, DWORD size) {
        if (found_ >= volumes.size() || volumes[found_].name.size() >= size) return Refuse(ERROR_NO_MORE_FILES);
        std::wcscpy(name, volumes[found_++].name.c_str());
        return TRUE;
    }
    static std::string ControlName(DWORD code) {
        switch (code) {
            case FSCTL_LOCK_VOLUME: return "FSCTL_LOCK_VOLUME";
            case FSCTL_UNLOCK_VOLUME: return "FSCTL_UNLOCK_VOLUME";
            case FSCTL_DISMOUNT_VOLUME: return "FSCTL_DISMOUNT_VOLUME";
            case IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS: return "IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS";
            case IOCTL_STORAGE_GET_DEVICE_NUMBER: return "IOCTL_STORAGE_GET_DEVICE_NUMBER";
            case IOCTL_DISK_GET_LENGTH_INFO: return "IOCTL_DISK_GET_LENGTH_INFO";
            case IOCTL_STORAGE_QUERY_PROPERTY: return "IOCTL_STORAGE_QUERY_PROPERTY";
            case IOCTL_DISK_GET_DRIVE_GEOMETRY_EX: return "IOCTL_DISK_GET_DRIVE_GEOMETRY_EX";
            case 0x0004D004: return "IOCTL_SCSI_PASS_THROUGH";
            case 0x0004D014: return "IOCTL_SCSI_PASS_THROUGH_DIRECT";
            default: return std::to_string(code);
        }
    }

    DWORD lastError_ = 0;
    std::uintptr_t next_ = 0;
    std::size_t found_ = 0;
};

}  // namespace bootdisk::test
