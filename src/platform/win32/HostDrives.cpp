#include "platform/HostDrives.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <span>
#include <vector>

#include "platform/StorageDescriptor.h"

#include "platform/win32/ErrorMode.h"

namespace bootdisk {
namespace {

THostDriveType TypeOf(const std::string& root) {
    switch (GetDriveTypeA(root.c_str())) {
        case DRIVE_REMOVABLE: return THostDriveType::Removable;
        case DRIVE_FIXED: return THostDriveType::Fixed;
        case DRIVE_UNKNOWN: return THostDriveType::Unknown;
        default: return THostDriveType::Other;
    }
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

char SystemLetter() {
    char folder[MAX_PATH] = {};
    return GetWindowsDirectoryA(folder, sizeof folder) > 0 ? folder[0] : 'C';
}

static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset) == storage::VendorIdOffset &&
              offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset) == storage::ProductIdOffset &&
              offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties) == storage::HeaderSize);

// The drive's own name and size, asked of the device behind the letter; opening it for no access
// needs no rights. A drive that does not answer keeps the file system's size and no name.
void AskDevice(char letter, THostDrive& drive) {
    const std::wstring path = L"\\\\.\\" + std::wstring(1, wchar_t(letter)) + L":";
    const HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    std::vector<std::uint8_t> answer(1024);
    DWORD returned = 0;
    if (DeviceIoControl(handle, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, answer.data(),
                        DWORD(answer.size()), &returned, nullptr))
        drive.model = DescriptorModel(std::span(answer).first(std::min<std::size_t>(returned, answer.size())));
    DISK_GEOMETRY_EX geometry{};
    if (DeviceIoControl(handle, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry, sizeof geometry, &returned,
                        nullptr) &&
        geometry.DiskSize.QuadPart > 0)
        drive.size = std::uint64_t(geometry.DiskSize.QuadPart);
    CloseHandle(handle);
}

// Windows locks a volume before raw writes, so a mounted file system is no reason to refuse here.
THostDrive Describe(char letter) {
    const std::string root = std::string(1, letter) + ":\\";
    THostDrive drive;
    drive.device = std::string(1, letter) + ":";
    drive.type = TypeOf(root);
    const TNoCriticalErrorBoxes quiet;
    ULARGE_INTEGER total{};
    if (GetDiskFreeSpaceExA(root.c_str(), nullptr, &total, nullptr)) drive.size = total.QuadPart;
    AskDevice(letter, drive);
    drive.holdsSystem = Upper(letter) == Upper(SystemLetter());
    drive.identity = drive.model + " " + std::to_string(drive.size);
    return drive;
}

}  // namespace

std::string WriterDeviceExample() { return "a drive letter such as E:"; }

std::string DefaultFloppyDevice() { return "A:"; }

bool CanStandForFloppyDrive(const std::string& device) { return device == "A:" || device == "a:"; }

// Drives A: and B: are floppies, which have their own medium.
std::vector<THostDrive> ScanHostDrives() {
    std::vector<THostDrive> drives;
    const DWORD present = GetLogicalDrives();
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        if (!(present & (1u << (letter - 'A')))) continue;
        auto drive = Describe(letter);
        if (drive.type == THostDriveType::Removable || drive.type == THostDriveType::Fixed)
            drives.push_back(std::move(drive));
    }
    return drives;
}

// The open of the volume tells when rights are missing; there is no other way to ask.
bool DriveWritesNeedAdministrator() { return false; }

std::string DriveServiceProblem() { return {}; }

std::optional<THostDrive> DescribeHostDrive(const std::string& device) {
    if (device.size() < 2 || device[1] != ':' || !std::isalpha(static_cast<unsigned char>(device[0]))) return std::nullopt;
    auto drive = Describe(device[0]);
    if (drive.type == THostDriveType::Unknown) return std::nullopt;
    return drive;
}

}  // namespace bootdisk
