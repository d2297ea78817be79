#include "platform/HostDrives.h"

#include <windows.h>

#include <cctype>

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

// Windows locks a volume before raw writes, so a mounted file system is no reason to refuse here.
THostDrive Describe(char letter) {
    const std::string root = std::string(1, letter) + ":\\";
    THostDrive drive;
    drive.device = std::string(1, letter) + ":";
    drive.type = TypeOf(root);
    const TNoCriticalErrorBoxes quiet;
    char label[MAX_PATH] = {};
    if (GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
        drive.model = label;
    ULARGE_INTEGER total{};
    if (GetDiskFreeSpaceExA(root.c_str(), nullptr, &total, nullptr)) drive.size = total.QuadPart;
    drive.holdsSystem = Upper(letter) == Upper(SystemLetter());
    return drive;
}

}  // namespace

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

std::optional<THostDrive> DescribeHostDrive(const std::string& device) {
    if (device.size() < 2 || device[1] != ':' || !std::isalpha(static_cast<unsigned char>(device[0]))) return std::nullopt;
    auto drive = Describe(device[0]);
    if (drive.type == THostDriveType::Unknown) return std::nullopt;
    return drive;
}

}  // namespace bootdisk
