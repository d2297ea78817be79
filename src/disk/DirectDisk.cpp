// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/DirectDisk.h"

#include <cctype>
#include <exception>
#include <vector>

namespace bootdisk {

namespace {
constexpr std::uint32_t kPlatform9x = 1;
constexpr std::uint32_t kPlatformNT = 2;
constexpr std::uint32_t kBiosWrite = 0x0300;  // AH = 3, AL = sector count

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
}  // namespace

TDirDisk::TDirDisk(TDirDiskHost host) : host_(std::move(host)), About_(Banner()) { SetDriveName('C'); }

std::string TDirDisk::Banner() { return "Direct floppy sector writer 1.0"; }

bool TDirDisk::QueryFreeSpace(char drive) {
    const auto space = host_.devices.FreeSpace(drive);
    if (space) Figures_ = *space;
    return space.has_value();
}

void TDirDisk::SetDriveName(char drive) {
    if (!std::isalpha(static_cast<unsigned char>(drive))) {
        DriveValid_ = false;
        return;
    }
    drive = Upper(drive);
    if (QueryFreeSpace(drive)) {
        DriveName_ = drive;
        DriveValid_ = true;
    } else {
        QueryFreeSpace(DriveName_);
        DriveValid_ = false;
    }
}

void TDirDisk::SetFirstSector(std::uint32_t value) {
    if (value != FirstSector_ && value < kLargestFloppySectors) FirstSector_ = value;
}

void TDirDisk::SetSectors(std::uint32_t value) {
    if (value != Sectors_ && std::uint64_t{FirstSector_} + value <= kLargestFloppySectors) Sectors_ = value;
}

void TDirDisk::SetRetries(std::uint32_t value) {
    if (value >= kMinRetries && value <= kMaxRetries) Retries_ = value;
}

bool TDirDisk::WriteSectors(char drive, std::span<const std::uint8_t> buffer, int mediaType) {
    VolumeInUse_ = false;
    drive = Upper(drive);
    if (host_.devices.DriveType(drive) != THostDriveType::Removable || drive >= 'C' || drive < 'A') {
        DriveValid_ = false;
        return false;
    }
    if (NeedWriteWarn &&
        !(host_.confirm && host_.confirm(std::string("Dangerous!\rDo you want to write to the drive ") + drive +
                                             ": really?",
                                         "Attention")))
        return false;
    if (mediaType < 0 || static_cast<std::size_t>(mediaType) >= FloppyMediaTable.size()) return false;
    const TFloppyMedia& media = FloppyMediaTable[static_cast<std::size_t>(mediaType)];
    // The run never reads past the caller's buffer nor reaches past the medium.
    if (std::uint64_t{Sectors_} * media.bytesPerSector > buffer.size() ||
        std::uint64_t{FirstSector_} + Sectors_ > media.totalSectors)
        return false;
    try {
        switch (host_.version.platformId) {
            case kPlatform9x: return WriteThroughBios(drive, buffer, media);
            case kPlatformNT: return WriteThroughDevice(drive, buffer, media);
            default: return false;
        }
    } catch (const std::exception&) {
        return false;
    }
}

bool TDirDisk::WriteThroughBios(char drive, std::span<const std::uint8_t> buffer, const TFloppyMedia& media) {
    std::uint32_t error = 0;
    const auto service = host_.vwin32.Open(error);
    if (!service) return false;
    const std::uint32_t spt = media.sectorsPerTrack;
    bool result = false;
    std::uint32_t i = 0;
    while (i < Sectors_) {
        const std::uint32_t lba = FirstSector_ + i;
        const std::uint32_t track = lba / spt;
        const std::uint32_t head = track % media.heads;
        const std::uint32_t cylinder = track / media.heads;
        const std::uint32_t sector = lba % spt + 1;
        // A whole track at once only from its first sector: one BIOS request stays on one track.
        const std::uint32_t count = Sectors_ >= i + spt && sector == 1 ? spt : 1;
        const auto run = buffer.subspan(std::size_t{i} * media.bytesPerSector, std::size_t{count} * media.bytesPerSector);
        std::vector<std::uint8_t> source(run.begin(), run.end());
        i += count;
        result = false;
        for (std::uint32_t attempt = 0; attempt < Retries_ && !result; ++attempt) {
            TVwin32Registers r;
            r.eax = kBiosWrite + count;
            r.ebx = service->AddressOf(source);
            r.ecx = cylinder << 8 | sector;
            r.edx = head << 8 | static_cast<std::uint32_t>(drive - 'A');
            auto block = r.Encode();
            result = service->Control(vwin32::kDiosInt13, block) == 0 &&
                     !(TVwin32Registers::Decode(block).flags & vwin32::kCarryFlag);
        }
        if (!result) break;
    }
    return result;
}

bool TDirDisk::WriteThroughDevice(char drive, std::span<const std::uint8_t> buffer, const TFloppyMedia& media) {
    std::uint32_t error = 0;
    const auto device = host_.devices.Open(drive, TDeviceAccess::ReadWrite, error);
    if (!device) return false;
    const std::uint64_t offset = std::uint64_t{FirstSector_} * media.bytesPerSector;
    const auto data = buffer.first(std::size_t{Sectors_} * media.bytesPerSector);
    bool ok = !NeedDiskLock || device->Lock() == 0;
    VolumeInUse_ = !ok;
    if (ok && NeedDiskLock) ok = device->Dismount() == 0;
    if (ok) {
        ok = false;
        // Every attempt starts at the run's offset again and counts only when every byte went out.
        for (std::uint32_t attempt = 0; attempt < Retries_ && !ok; ++attempt) {
            if (device->Seek(offset) != 0) continue;
            const TTransfer done = device->Write(data);
            ok = done.error == 0 && done.moved == data.size();
        }
        if (NeedDiskLock && ok) ok = device->Unlock() == 0;
    }
    return ok;
}

}  // namespace bootdisk
