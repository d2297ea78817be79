#include "app/RemovableKinds.h"

#include "image/Fat12Format.h"

namespace bootdisk {

TDriveRefusal RefusalOf(const THostDrive& drive) {
    if (drive.type == THostDriveType::Partition) return TDriveRefusal::Partition;
    if (drive.type != THostDriveType::Removable) return TDriveRefusal::NotRemovable;
    if (drive.holdsSystem) return TDriveRefusal::HoldsSystem;
    if (drive.mountedAt) return TDriveRefusal::Mounted;
    if (!drive.usedBy.empty()) return TDriveRefusal::InUse;
    if (drive.readOnly) return TDriveRefusal::ReadOnly;
    if (drive.size < fat12::kImageSize) return TDriveRefusal::TooSmall;
    return TDriveRefusal::None;
}

std::string DriveLabel(const TStringTable& texts, const THostDrive& drive) {
    return texts[StrId::GUI_REMOVABLE_STORAGE_DEVICE] + " (" + drive.Details() + ", " + drive.device + ")";
}

std::string RefusalText(const TStringTable& texts, const THostDrive& drive) {
    switch (RefusalOf(drive)) {
        case TDriveRefusal::None: return {};
        case TDriveRefusal::Partition: return texts[StrId::DRIVE_PARTITION];
        case TDriveRefusal::NotRemovable: return texts[StrId::DRIVE_NOTREMOVABLE];
        case TDriveRefusal::HoldsSystem: return texts[StrId::DRIVE_HOLDSSYSTEM];
        case TDriveRefusal::Mounted: return texts[StrId::DRIVE_MOUNTED] + *drive.mountedAt;
        case TDriveRefusal::InUse: {
            std::string users;
            for (const auto& user : drive.usedBy) users += (users.empty() ? "" : ", ") + user;
            return texts[StrId::DRIVE_INUSE] + users;
        }
        case TDriveRefusal::ReadOnly: return texts[StrId::DRIVE_READONLY];
        case TDriveRefusal::TooSmall: return texts[StrId::DRIVE_TOOSMALL] + FormatSize(fat12::kImageSize) + ")";
    }
    return {};
}

std::vector<TMediaKind> RemovableMediaKinds(const TStringTable& texts, const std::vector<THostDrive>& drives,
                                            IHostRawDevices& table) {
    std::vector<TMediaKind> kinds;
    for (const auto& drive : drives) {
        if (RefusalOf(drive) != TDriveRefusal::None) continue;
        const char letter = table.Attach(drive.device, drive.type);
        if (letter == 0) continue;
        kinds.push_back({DriveLabel(texts, drive), TMediaType::Removable, nullptr, {letter, drive.device}});
    }
    return kinds;
}

}  // namespace bootdisk
