#include "app/RemovableKinds.h"

namespace bootdisk {

std::string DriveLabel(const TStringTable& texts, const THostDrive& drive) {
    return texts[StrId::GUI_REMOVABLE_STORAGE_DEVICE] + " (" + drive.Details() + ", " + drive.device + ")";
}

std::string RefusalText(const TStringTable& texts, const THostDrive& drive) {
    switch (drive.Refusal()) {
        case TDriveRefusal::None: return {};
        case TDriveRefusal::NotRemovable: return texts[StrId::DRIVE_NOTREMOVABLE];
        case TDriveRefusal::HoldsSystem: return texts[StrId::DRIVE_HOLDSSYSTEM];
        case TDriveRefusal::Mounted: return texts[StrId::DRIVE_MOUNTED] + *drive.mountedAt;
        case TDriveRefusal::InUse: {
            std::string users;
            for (const auto& user : drive.usedBy) users += (users.empty() ? "" : ", ") + user;
            return texts[StrId::DRIVE_INUSE] + users;
        }
    }
    return {};
}

std::vector<TMediaKind> RemovableMediaKinds(const TStringTable& texts, const std::vector<THostDrive>& drives,
                                            IHostRawDevices& table) {
    std::vector<TMediaKind> kinds;
    for (const auto& drive : drives) {
        if (drive.Refusal() != TDriveRefusal::None) continue;
        const char letter = table.Attach(drive.device, drive.type);
        if (letter == 0) continue;
        kinds.push_back({DriveLabel(texts, drive), TMediaType::Removable, nullptr, {letter, drive.device}});
    }
    return kinds;
}

}  // namespace bootdisk
