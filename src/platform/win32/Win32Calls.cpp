// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32Calls.h"

#include "platform/win32/ErrorMode.h"

namespace bootdisk {
namespace {

class THostWin32Calls : public IWin32Calls {
public:
    HANDLE CreateFileW(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) override {
        return ::CreateFileW(path.c_str(), access, share, nullptr, disposition, 0, nullptr);
    }
    BOOL CloseHandle(HANDLE handle) override { return ::CloseHandle(handle); }
    BOOL DeviceIoControl(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                         DWORD* returned) override {
        return ::DeviceIoControl(handle, code, in, inSize, out, outSize, returned, nullptr);
    }
    BOOL ReadFile(HANDLE handle, void* data, DWORD size, DWORD* moved) override {
        return ::ReadFile(handle, data, size, moved, nullptr);
    }
    BOOL WriteFile(HANDLE handle, const void* data, DWORD size, DWORD* moved) override {
        return ::WriteFile(handle, data, size, moved, nullptr);
    }
    BOOL SetFilePointerEx(HANDLE handle, LARGE_INTEGER to) override {
        return ::SetFilePointerEx(handle, to, nullptr, FILE_BEGIN);
    }
    BOOL FlushFileBuffers(HANDLE handle) override { return ::FlushFileBuffers(handle); }
    DWORD GetLastError() override { return ::GetLastError(); }
    UINT SetErrorMode(UINT mode) override { return ::SetErrorMode(mode); }
    void Sleep(DWORD milliseconds) override { ::Sleep(milliseconds); }

    DWORD GetLogicalDrives() override { return ::GetLogicalDrives(); }
    UINT GetDriveTypeW(const std::wstring& root) override { return ::GetDriveTypeW(root.c_str()); }
    BOOL GetDiskFreeSpaceExW(const std::wstring& root, ULARGE_INTEGER* total) override {
        return ::GetDiskFreeSpaceExW(root.c_str(), nullptr, total, nullptr);
    }
    BOOL GetVolumeInformationW(const std::wstring& root, wchar_t* label, DWORD labelSize, wchar_t* fileSystem,
                               DWORD fileSystemSize) override {
        return ::GetVolumeInformationW(root.c_str(), label, labelSize, nullptr, nullptr, nullptr, fileSystem,
                                       fileSystemSize);
    }
    BOOL GetDiskFreeSpaceW(const std::wstring& root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                           DWORD* freeClusters, DWORD* totalClusters) override {
        return ::GetDiskFreeSpaceW(root.c_str(), sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
    }
    HANDLE FindFirstVolumeW(wchar_t* name, DWORD size) override { return ::FindFirstVolumeW(name, size); }
    BOOL FindNextVolumeW(HANDLE find, wchar_t* name, DWORD size) override {
        return ::FindNextVolumeW(find, name, size);
    }
    BOOL FindVolumeClose(HANDLE find) override { return ::FindVolumeClose(find); }

    BOOL OpenProcessToken(DWORD access, HANDLE* token) override {
        return ::OpenProcessToken(::GetCurrentProcess(), access, token);
    }
    BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, void* data, DWORD size,
                             DWORD* returned) override {
        return ::GetTokenInformation(token, kind, data, size, returned);
    }
    BOOL CheckTokenMembership(HANDLE token, PSID group, BOOL* member) override {
        return ::CheckTokenMembership(token, group, member);
    }
};

}  // namespace

IWin32Calls& HostWin32Calls() {
    static THostWin32Calls calls;
    return calls;
}

TOwnedHandle& TOwnedHandle::operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) {
        Close();
        calls_ = other.calls_;
        handle_ = other.Release();
    }
    return *this;
}

HANDLE TOwnedHandle::Release() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
}

void TOwnedHandle::Close() {
    if (*this && calls_) calls_->CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

TOwnedHandle OpenDeviceQuietly(IWin32Calls& calls, const std::wstring& path, DWORD access) {
    const TNoCriticalErrorBoxes quiet(calls);
    return {calls, calls.CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING)};
}

}  // namespace bootdisk
