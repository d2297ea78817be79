// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RemovableKinds.h"

#include <algorithm>

#include "image/Fat12Format.h"

namespace bootdisk {

TDriveRefusal RefusalOf(const THostDrive& drive) {
    if (drive.type == THostDriveType::Partition) return TDriveRefusal::Partition;
    if (drive.type != THostDriveType::Removable) return TDriveRefusal::NotRemovable;
    if (drive.holdsSystem) return TDriveRefusal::HoldsSystem;
    if (!drive.usedBy.empty()) return TDriveRefusal::InUse;
    if (drive.readOnly) return TDriveRefusal::ReadOnly;
    if (drive.size < fat12::kImageSize) return TDriveRefusal::TooSmall;
    return TDriveRefusal::None;
}

const char* RefusalKey(TDriveRefusal refusal) {
    switch (refusal) {
        case TDriveRefusal::None: return "";
        case TDriveRefusal::Partition: return "partition";
        case TDriveRefusal::NotRemovable: return "not-removable";
        case TDriveRefusal::HoldsSystem: return "holds-system";
        case TDriveRefusal::InUse: return "in-use";
        case TDriveRefusal::ReadOnly: return "read-only";
        case TDriveRefusal::TooSmall: return "too-small";
    }
    return "";
}

std::string MountPointList(const std::vector<std::string>& points) {
    std::string list;
    for (const auto& point : points) list += (list.empty() ? "" : ", ") + point;
    return list;
}

std::string WholeDiskName(const TStringTable& texts, const std::string& device, const std::vector<std::string>& volumes) {
    if (volumes.empty()) return device;
    if (volumes.size() == 1) return volumes.front();
    std::vector<std::string> first(volumes.begin(), volumes.end() - 1);
    const auto both = WithValues(texts[StrId::DRIVE_AND], {MountPointList(first), volumes.back()});
    return WithValues(texts[StrId::DRIVE_SAMESTICK], {both});
}

std::string DriveLabel(const TStringTable& texts, const THostDrive& drive) {
    const std::string mounted =
        drive.mountPoints.empty() ? "" : ", " + texts[StrId::DRIVE_MOUNTEDAT] + MountPointList(drive.mountPoints);
    return texts[StrId::GUI_REMOVABLE_STORAGE_DEVICE] + " (" + drive.Details() + ", " + drive.device + mounted + ")";
}

std::string RefusalText(const TStringTable& texts, const THostDrive& drive) {
    switch (RefusalOf(drive)) {
        case TDriveRefusal::None: return {};
        case TDriveRefusal::Partition: return texts[StrId::DRIVE_PARTITION];
        case TDriveRefusal::NotRemovable: return texts[StrId::DRIVE_NOTREMOVABLE];
        case TDriveRefusal::HoldsSystem: return texts[StrId::DRIVE_HOLDSSYSTEM];
        case TDriveRefusal::InUse: return texts[StrId::DRIVE_INUSE] + MountPointList(drive.usedBy);
        case TDriveRefusal::ReadOnly: return texts[StrId::DRIVE_READONLY];
        case TDriveRefusal::TooSmall: return texts[StrId::DRIVE_TOOSMALL] + FormatSize(fat12::kImageSize) + ")";
    }
    return {};
}

TRemovableDrive RemovableDriveOf(char letter, const THostDrive& drive) {
    return {letter, drive.device, drive.identity, {}, drive.number, drive.Details(), drive.volumes};
}

std::vector<TMediaKind> RemovableMediaKinds(const TStringTable& texts, const std::vector<THostDrive>& drives,
                                            IHostRawDevices& table) {
    std::vector<TMediaKind> kinds;
    for (const auto& drive : drives) {
        if (RefusalOf(drive) != TDriveRefusal::None) continue;
        const char letter = table.Attach(drive.device, drive.type);
        if (letter == 0) continue;
        kinds.push_back({DriveLabel(texts, drive), TMediaType::Removable, nullptr, RemovableDriveOf(letter, drive)});
    }
    return kinds;
}

std::string RemovableNotice(const TStringTable& texts, const std::vector<THostDrive>& drives,
                            bool writesNeedAdministrator) {
    const bool offered = std::any_of(drives.begin(), drives.end(),
                                     [](const THostDrive& drive) { return RefusalOf(drive) == TDriveRefusal::None; });
    if (!offered) {
        // What to do is said in the window's terms; the removable drives left out are named there.
        std::string refused;
        for (const auto& drive : drives)
            if (drive.type == THostDriveType::Removable)
                refused += (refused.empty() ? "" : ", ") + drive.device + " (" + RefusalText(texts, drive) + ")";
        return texts[StrId::DRIVE_NONEOFFERED] + (refused.empty() ? "" : "\r" + texts[StrId::DRIVE_NOTOFFERED] + refused);
    }
    return writesNeedAdministrator ? texts[DriveRightsText(TFrontEnd::Wizard)] : std::string();
}

namespace {

// The same drive: the device and the disk found there then.
bool SameDrive(const TMediaKind& a, const TMediaKind& b) {
    return a.type == TMediaType::Removable && b.type == TMediaType::Removable &&
           a.removable.device == b.removable.device && a.removable.identity == b.removable.identity;
}

// Where kind went in kinds: a drive back again is taken up where it is, not where it was marked
// removed.
std::size_t IndexIn(const std::vector<TMediaKind>& kinds, const TMediaKind& kind) {
    std::size_t marked = kinds.size();
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (kind.type != TMediaType::Removable && kinds[i].type == kind.type && kinds[i].device == kind.device) return i;
        if (SameDrive(kinds[i], kind)) {
            if (!kinds[i].gone) return i;
            marked = i;
        }
    }
    return marked;
}

}  // namespace

bool FollowRemovableKinds(const TStringTable& texts, std::vector<TMediaKind>& kinds, TCreationList& list,
                          const std::vector<TMediaKind>& removables) {
    if (kinds.empty()) return false;
    // The kinds that write files close the list: the image recorder, and before it the floppy image
    // and the network boot folder.
    auto recorders = kinds.size() - 1;
    while (recorders > 0 && (kinds[recorders - 1].type == TMediaType::FloppyImage ||
                             kinds[recorders - 1].type == TMediaType::NetbootFolder))
        --recorders;
    std::vector<TMediaKind> next;
    for (std::size_t i = 0; i < recorders; ++i)
        if (kinds[i].type != TMediaType::Removable) next.push_back(kinds[i]);
    next.insert(next.end(), removables.begin(), removables.end());
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const auto chosen = std::any_of(list.Rows().begin(), list.Rows().end(),
                                        [i](const TCreateListRow& row) { return row.kind == i; });
        const auto& kind = kinds[i];
        const auto back = std::any_of(removables.begin(), removables.end(),
                                      [&](const TMediaKind& now) { return SameDrive(now, kind); });
        if (kind.type != TMediaType::Removable || !chosen || back) continue;
        next.push_back(kind);
        if (!kind.gone) next.back().label = texts[StrId::DRIVE_REMOVED] + kind.label;
        next.back().gone = true;
    }
    next.insert(next.end(), kinds.begin() + std::ptrdiff_t(recorders), kinds.end());

    for (std::size_t i = 0; i < list.Rows().size(); ++i) list.Row(i).kind = IndexIn(next, kinds.at(list.Rows()[i].kind));
    const bool changed = next.size() != kinds.size() ||
                         !std::equal(next.begin(), next.end(), kinds.begin(), [](const auto& a, const auto& b) {
                             return a.label == b.label && a.gone == b.gone && a.type == b.type;
                         });
    kinds = std::move(next);
    return changed;
}

}  // namespace bootdisk
