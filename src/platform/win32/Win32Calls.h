// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Win32 calls that the drive, disk and pass-through ports make, behind one interface: the host
// answers them itself, and a test can stand in for the system and see every call in order.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "optical/ScsiTransport.h"
#include "optical/SptiBlock.h"
#include "platform/HostDrives.h"
#include "platform/HostSystem.h"
#include "platform/RawDevice.h"

namespace bootdisk {

class IWin32Calls {
public:
    virtual ~IWin32Calls() = default;

    virtual HANDLE CreateFileW(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) = 0;
    virtual BOOL CloseHandle(HANDLE handle) = 0;
    virtual BOOL DeviceIoControl(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                                 DWORD* returned) = 0;
    virtual BOOL ReadFile(HANDLE handle, void* data, DWORD size, DWORD* moved) = 0;
    virtual BOOL WriteFile(HANDLE handle, const void* data, DWORD size, DWORD* moved) = 0;
    virtual BOOL SetFilePointerEx(HANDLE handle, LARGE_INTEGER to) = 0;
    virtual BOOL FlushFileBuffers(HANDLE handle) = 0;
    virtual DWORD GetLastError() = 0;
    virtual UINT SetErrorMode(UINT mode) = 0;
    virtual void Sleep(DWORD milliseconds) = 0;

    // Bit n set: the letter 'A' + n is in use.
    virtual DWORD GetLogicalDrives() = 0;
    virtual UINT GetDriveTypeW(const std::wstring& root) = 0;
    // The volume's size in bytes; a dead network letter may take its time to answer.
    virtual BOOL GetDiskFreeSpaceExW(const std::wstring& root, ULARGE_INTEGER* total) = 0;
    virtual BOOL GetVolumeInformationW(const std::wstring& root, wchar_t* label, DWORD labelSize,
                                       wchar_t* fileSystem, DWORD fileSystemSize) = 0;
    virtual BOOL GetDiskFreeSpaceW(const std::wstring& root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                                   DWORD* freeClusters, DWORD* totalClusters) = 0;
    // Volume names end in a backslash: "\\?\Volume{...}\".
    virtual HANDLE FindFirstVolumeW(wchar_t* name, DWORD size) = 0;
    virtual BOOL FindNextVolumeW(HANDLE find, wchar_t* name, DWORD size) = 0;
    virtual BOOL FindVolumeClose(HANDLE find) = 0;

    // Of this process's own token.
    virtual BOOL OpenProcessToken(DWORD access, HANDLE* token) = 0;
    virtual BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, void* data, DWORD size,
                                     DWORD* returned) = 0;
    virtual BOOL CheckTokenMembership(HANDLE token, PSID group, BOOL* member) = 0;
};

// The system itself.
IWin32Calls& HostWin32Calls();

// A handle closed through the calls that opened it.
class TOwnedHandle {
public:
    TOwnedHandle() = default;
    TOwnedHandle(IWin32Calls& calls, HANDLE handle) : calls_(&calls), handle_(handle) {}
    ~TOwnedHandle() { Close(); }
    TOwnedHandle(TOwnedHandle&& other) noexcept : calls_(other.calls_), handle_(other.Release()) {}
    TOwnedHandle& operator=(TOwnedHandle&& other) noexcept;
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;

    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }
    HANDLE Release();
    void Close();

private:
    IWin32Calls* calls_ = nullptr;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Opens a device ("\\.\E:", "\\.\PhysicalDrive1", a volume) for direct access, shared with the
// system, without the system's "no disk in drive" box: an empty card reader or a dead network
// letter answers with an error code instead of holding up the program with a question.
TOwnedHandle OpenDeviceQuietly(IWin32Calls& calls, const std::wstring& path, DWORD access);

// The ports over a given set of calls.
std::unique_ptr<IHostRawDevices> CreateWin32RawDevices(IWin32Calls& calls);
// Throws std::runtime_error when name is no drive letter or the drive cannot be opened; the drive
// is opened again for each command, or once for an operation that holds it (HoldOpen).
std::unique_ptr<IScsiTransport> OpenWin32PassThrough(const std::string& name, IWin32Calls& calls,
                                                     const TSptiLayout& layout = kSptiHostLayout);
// The removable and fixed disks behind the drive letters C: to Z:. Only those are asked more than
// their type: a network or CD letter is never asked its size, which a dead share can take minutes
// to refuse.
std::vector<THostDrive> ScanWin32Drives(IWin32Calls& calls);
// THostDriveWatch::Start over the given calls: the scans run on a thread of their own, so a drive
// that is slow to answer holds up no window.
std::unique_ptr<THostDriveWatch> StartWin32DriveWatch(IWin32Calls& calls, std::function<void()> changed);

// Whether this process lacks the rights Windows asks for raw drive access and the pass-through:
// not elevated on Vista and later, not a member of Administrators before.
bool ProcessLacksAdministrator(IWin32Calls& calls, TWinVersion version);

}  // namespace bootdisk
