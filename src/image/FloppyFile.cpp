// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cstring>

#include "base/Bytes.h"
#include "image/FloppyFiles.h"

namespace bootdisk {

using namespace fat12;

TFloppyFile::TFloppyFile(TGenericFloppy& floppy, std::uint32_t entrySector, std::uint32_t entrySlot,
                         const TFat12Layout& layout)
    : Floppy(&floppy), EntrySector(entrySector), EntrySlot(entrySlot), Layout(layout) {}

std::size_t TFloppyFile::Write(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::size_t written = 0;
    TSectorBuffer sector;
    bool ok = true;
    // The last sector is partly filled: complete it first.
    if (const std::uint32_t offset = Position % kSectorSize; offset != 0 && count > 0) {
        const std::size_t n = std::min<std::size_t>(kSectorSize - offset, count);
        const std::uint32_t lba = Layout.ClusterSector(CurrentCluster);
        ok = Layout.IsCluster(CurrentCluster) && Floppy->ReadSectors(lba, sector.data(), 1) != 0;
        if (ok) {
            std::memcpy(sector.data() + offset, bytes, n);
            ok = Floppy->WriteSectors(lba, sector.data(), 1) != 0;
        }
        if (ok) {
            written = n;
            Position += std::uint32_t(n);
        }
    }
    while (ok && written < count) {
        // A full disk keeps CurrentCluster, so a later write cannot restart the chain.
        const std::uint32_t next = NextCluster(CurrentCluster);
        if (next == 0) break;
        CurrentCluster = next;
        const std::size_t n = std::min<std::size_t>(kSectorSize, count - written);
        const std::uint32_t lba = Layout.ClusterSector(CurrentCluster);
        // A short tail keeps the sector's old bytes behind it.
        if (n < kSectorSize && Floppy->ReadSectors(lba, sector.data(), 1) == 0) break;
        std::memcpy(sector.data(), bytes + written, n);
        if (Floppy->WriteSectors(lba, sector.data(), 1) == 0) break;
        written += n;
        Position += std::uint32_t(n);
    }
    Size = std::max(Size, Position);
    UpdateEntry();
    return written;
}

std::uint32_t TFloppyFile::NextCluster(std::uint32_t cluster) {
    for (std::uint32_t candidate = cluster < kFirstCluster ? kFirstCluster : cluster + 1;
         candidate <= Layout.LastCluster; ++candidate) {
        if (Floppy->GetFATEntry(candidate) != kFatFree) continue;
        if (Floppy->SetFATEntry(candidate, kFatEndOfChain) == 0) return 0;
        if (cluster < kFirstCluster) {
            FirstCluster = candidate;
        } else if (Floppy->SetFATEntry(cluster, std::uint16_t(candidate)) == 0) {
            Floppy->SetFATEntry(candidate, kFatFree);
            return 0;
        }
        return candidate;
    }
    return 0;
}

bool TFloppyFile::UpdateEntry() {
    TSectorBuffer sector;
    if (Floppy->ReadSectors(EntrySector, sector.data(), 1) == 0) return false;
    std::uint8_t* entry = sector.data() + std::size_t(EntrySlot) * kDirEntrySize;
    PutLE32(entry + kEntryFileSize, Size);
    PutLE16(entry + kEntryCluster, std::uint16_t(FirstCluster));
    return Floppy->WriteSectors(EntrySector, sector.data(), 1) != 0;
}

}  // namespace bootdisk
