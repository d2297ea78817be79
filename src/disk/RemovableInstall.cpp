// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/RemovableInstall.h"

#include <algorithm>

#include "base/Errors.h"
#include "image/BootDrive.h"
#include "image/Fat12Format.h"
#include "platform/Host.h"
#include "platform/HostDrives.h"

namespace bootdisk {
namespace {

// Holds the disk object's own lock from a successful Lock until the write ends, also through an
// exception.
class TVolumeLock {
public:
    explicit TVolumeLock(TVirtualDisk& disk) : disk_(disk) { locked_ = !disk_.Lock(); }
    ~TVolumeLock() { disk_.Unlock(); }
    TVolumeLock(const TVolumeLock&) = delete;
    TVolumeLock& operator=(const TVolumeLock&) = delete;
    bool Locked() const { return locked_; }

private:
    TVirtualDisk& disk_;
    bool locked_ = false;
};

}  // namespace

void TRemovableInstall::CheckRemovable(char drive) const {
    if (host_.disk.devices.DriveType(drive) != THostDriveType::Removable) throw EDiskProtectionFault();
}

std::vector<std::uint8_t> TRemovableInstall::FirstChunkForDrive(std::size_t chunkBytes) const {
    const auto image = image_->Image();
    std::vector<std::uint8_t> chunk(image.begin(), image.begin() + std::ptrdiff_t(std::min(chunkBytes, image.size())));
    MarkForHardDiskBoot(chunk);
    return chunk;
}

const std::uint8_t* TRemovableInstall::ChunkForDrive(const std::vector<std::uint8_t>& first, std::size_t offset) const {
    return offset == 0 ? first.data() : image_->Image().data() + offset;
}

void TRemovableInstall::ShowWriteFailed(std::uint32_t error) const {
    // A stick pulled out fails with "Input/output error" or "No such file": its user is told what
    // happened instead.
    if (host_.driveGone && host_.driveGone()) throw ECopySkipped(host_.texts[StrId::DRIVE_REMOVEDDURING]);
    host_.dialogs.ShowCoolMessage(host_.texts[StrId::REMOVABLEINSTALL_WRITEFAILED] + SystemErrorText(error));
}

void TRemovableInstall::ShowVolumeInUse(char drive) const {
    host_.dialogs.ShowCoolMessage(DeviceLead(std::string(1, drive) + ":") + host_.texts[StrId::DISK_VOLUMEINUSE]);
}

std::unique_ptr<TVirtualDisk> TRemovableInstall::OpenDisk(char drive, bool readOnly) {
    // Raw writes under a mounted file system would corrupt it, and it would overwrite the image.
    if (const auto points = host_.disk.devices.MountPoints(drive); !points.empty()) {
        host_.dialogs.ShowCoolMessage(host_.texts[StrId::DISK_MOUNTED] + points.front());
        return nullptr;
    }
    auto disk = CreateDisk(drive, host_.disk);
    if (disk->OpenDrive(drive, readOnly)) {
        if (disk->LastError == kErrorNoWholeDisk)
            host_.dialogs.ShowCoolMessage(DeviceLead(std::string(1, drive) + ":") + host_.texts[StrId::DISK_NOWHOLEDISK]);
        else
            ShowWriteFailed(disk->LastError);
        return nullptr;
    }
    // The system may have taken its time to open it: the disk is asked what it is only now.
    if (host_.confirmed) {
        if (const auto refusal = OpenedDiskRefusal(host_.texts, *host_.confirmed, disk->Identify()); !refusal.empty()) {
            host_.dialogs.ShowCoolMessage(refusal);
            return nullptr;
        }
    }
    if (disk->BytesPerSector == 0 || fat12::kImageSize % disk->BytesPerSector != 0 ||
        disk->TotalSectors * disk->BytesPerSector < fat12::kImageSize) {
        host_.dialogs.ShowCoolMessage(host_.texts[StrId::REMOVABLEINSTALL_TOOSMALL]);
        return nullptr;
    }
    return disk;
}

bool TRemovableInstall::WriteImageToDrive(char drive) {
    CheckRemovable(drive);
    written_.reset();
    const auto disk = OpenDisk(drive, false);
    if (!disk) return false;
    // OpenDisk has checked that a sector is no larger than the image.
    const auto sectorBytes = static_cast<std::size_t>(disk->BytesPerSector);
    const auto first = FirstChunkForDrive(std::size_t{kChunkSectors} * sectorBytes);

    // Writing under a file system that Windows keeps in use would corrupt both, and one left
    // mounted would go on showing the old contents: the volumes of the drive's disk, and the
    // drive's own through its disk object.
    std::uint32_t error = 0;
    auto volumes = host_.disk.devices.HoldVolumes(drive, error);
    if (!volumes) {
        ShowVolumeInUse(drive);
        return false;
    }
    TVolumeLock lock(*disk);
    if (!lock.Locked()) {
        ShowVolumeInUse(drive);
        return false;
    }
    if (disk->Dismount()) {
        ShowWriteFailed(disk->LastError);
        return false;
    }
    const std::uint64_t total = fat12::kImageSize / sectorBytes;
    if (OnImageProgress) OnImageProgress(0.0);  // the first byte of the drive goes now
    for (std::uint64_t pos = 0; pos < total;) {
        const std::uint64_t chunk = std::min(kChunkSectors, total - pos);
        if (disk->WriteSectors(ChunkForDrive(first, std::size_t(pos) * sectorBytes), pos, chunk)) {
            ShowWriteFailed(disk->LastError);
            return false;
        }
        pos += chunk;
        if (OnImageProgress) OnImageProgress(double(pos) / double(total));
    }
    if (disk->Flush()) {
        ShowWriteFailed(disk->LastError);
        return false;
    }
    written_ = std::move(volumes);
    return true;
}

bool TRemovableInstall::VerifyImageOnDrive(char drive) {
    const auto volumes = std::move(written_);  // given back when the read-back ends
    const auto disk = OpenDisk(drive, true);
    if (!disk) return false;
    // OpenDisk has checked that a sector is no larger than the image.
    const auto sectorBytes = static_cast<std::size_t>(disk->BytesPerSector);
    const auto first = FirstChunkForDrive(std::size_t{kChunkSectors} * sectorBytes);
    const std::uint64_t total = fat12::kImageSize / sectorBytes;
    std::vector<std::uint8_t> buffer(std::size_t{kChunkSectors} * sectorBytes);
    for (std::uint64_t pos = 0; pos < total;) {
        const std::uint64_t chunk = std::min(kChunkSectors, total - pos);
        if (disk->ReadSectors(buffer.data(), pos, chunk)) {
            ShowWriteFailed(disk->LastError);
            return false;
        }
        const auto* expected = ChunkForDrive(first, std::size_t(pos * sectorBytes));
        const auto* end = expected + chunk * sectorBytes;
        const auto* differs = std::mismatch(expected, end, buffer.data()).first;
        if (differs != end) {
            const auto sector = pos + std::uint64_t(differs - expected) / sectorBytes;
            host_.dialogs.ShowCoolMessage(host_.texts[StrId::REMOVABLEINSTALL_VERIFYFAILED] + std::to_string(sector));
            return false;
        }
        pos += chunk;
    }
    return true;
}

}  // namespace bootdisk
