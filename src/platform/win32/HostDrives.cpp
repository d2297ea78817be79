// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostDrives.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <span>
#include <vector>

#include "platform/HostSystem.h"
#include "platform/StorageDescriptor.h"
#include "platform/win32/DiskVolumes.h"
#include "platform/win32/ErrorMode.h"
#include "platform/win32/Win32Calls.h"

namespace bootdisk {
namespace {

constexpr DWORD kPlatformNt = 2;

THostDriveType TypeOf(IWin32Calls& calls, const std::wstring& root) {
    switch (calls.GetDriveTypeW(root)) {
        case DRIVE_REMOVABLE: return THostDriveType::Removable;
        case DRIVE_FIXED: return THostDriveType::Fixed;
        // A letter with no drive behind it is no drive at all, not some other kind of one.
        case DRIVE_UNKNOWN:
        case DRIVE_NO_ROOT_DIR: return THostDriveType::Unknown;
        default: return THostDriveType::Other;  // a network share, a CD, a RAM disk
    }
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

char SystemLetter() {
    char folder[MAX_PATH] = {};
    return GetWindowsDirectoryA(folder, sizeof folder) > 0 ? folder[0] : 'C';
}

static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset) == storage::VendorIdOffset &&
              offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset) == storage::ProductIdOffset &&
              offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset) == storage::SerialNumberOffset &&
              offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties) == storage::HeaderSize);

// Windows locks a volume before raw writes, so a mounted file system is no reason to refuse here.
// Only a removable or fixed disk is asked more than its type. The drive tells its own name, size
// and identity through its letter's device, which opening for no access needs no rights to; one
// that does not keeps the file system's size and no name. A removable drive is named with every
// lettered volume of its disk, which its write erases too.
THostDrive Describe(IWin32Calls& calls, char letter) {
    THostDrive drive;
    drive.device = std::string(1, letter) + ":";
    const std::wstring root = std::wstring(1, wchar_t(letter)) + L":\\";
    drive.type = TypeOf(calls, root);
    if (drive.type != THostDriveType::Removable && drive.type != THostDriveType::Fixed) return drive;
    const TNoCriticalErrorBoxes quiet(calls);
    ULARGE_INTEGER total{};
    if (calls.GetDiskFreeSpaceExW(root, &total)) drive.size = total.QuadPart;
    drive.holdsSystem = Upper(letter) == Upper(SystemLetter());
    const auto volume = OpenDeviceQuietly(calls, L"\\\\.\\" + std::wstring(1, wchar_t(letter)) + L":", 0);
    const auto disk = volume ? AskDisk(calls, volume.Get()) : TDiskAnswers{};
    drive.model = disk.model;
    if (disk.size > 0) drive.size = disk.size;
    const auto identity = disk.Identity();
    drive.identity = identity.identity;
    drive.number = identity.number;
    if (disk.number && drive.type == THostDriveType::Removable) drive.volumes = LetteredVolumesOf(calls, *disk.number);
    return drive;
}

}  // namespace

std::string WriterDeviceExample() { return "a drive letter such as E:"; }

std::string DefaultFloppyDevice() { return "A:"; }

bool CanStandForFloppyDrive(const std::string& device) { return device == "A:" || device == "a:"; }

// Drives A: and B: are floppies, which have their own medium.
std::vector<THostDrive> ScanWin32Drives(IWin32Calls& calls) {
    std::vector<THostDrive> drives;
    const DWORD present = calls.GetLogicalDrives();
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        if (!(present & (1u << (letter - 'A')))) continue;
        auto drive = Describe(calls, letter);
        if (drive.type == THostDriveType::Removable || drive.type == THostDriveType::Fixed)
            drives.push_back(std::move(drive));
    }
    return drives;
}

std::vector<THostDrive> ScanHostDrives() { return ScanWin32Drives(HostWin32Calls()); }

bool ProcessLacksAdministrator(IWin32Calls& calls, TWinVersion version) {
    if (version.platformId != kPlatformNt) return false;  // the 9x family has no rights to lack
    // A token that cannot be asked leaves the answer to the open of the drive.
    if (version.major >= 6) {
        HANDLE raw = nullptr;
        if (!calls.OpenProcessToken(TOKEN_QUERY, &raw)) return false;
        const TOwnedHandle token(calls, raw);
        TOKEN_ELEVATION elevation{};
        DWORD returned = 0;
        if (!calls.GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &returned))
            return false;
        return elevation.TokenIsElevated == 0;
    }
    // Before Vista an administrator's programs have the rights from the start.
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                  0, 0, &administrators))
        return false;
    BOOL member = FALSE;
    const BOOL asked = calls.CheckTokenMembership(nullptr, administrators, &member);
    FreeSid(administrators);
    return asked && !member;
}

bool DriveWritesNeedAdministrator(TDriveWrite) {
    return ProcessLacksAdministrator(HostWin32Calls(), RealHost().Version());
}

StrId DriveRightsText(TFrontEnd reader) {
    return reader == TFrontEnd::Wizard ? StrId::DRIVE_WIZARDNEEDSADMIN : StrId::DRIVE_NEEDSELEVATION;
}

std::string DriveServiceProblem() { return {}; }

std::optional<THostDrive> DescribeHostDrive(const std::string& device) {
    if (device.size() < 2 || device[1] != ':' || !std::isalpha(static_cast<unsigned char>(device[0]))) return std::nullopt;
    auto drive = Describe(HostWin32Calls(), device[0]);
    if (drive.type == THostDriveType::Unknown) return std::nullopt;
    return drive;
}

}  // namespace bootdisk
