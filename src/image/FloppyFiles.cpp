// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/FloppyFiles.h"

#include <algorithm>
#include <cstring>

#include "base/Bytes.h"
#include "base/DosTime.h"
#include "base/Text.h"

namespace bootdisk {

using namespace fat12;

namespace {

std::size_t SlotOffset(std::uint32_t entryIndex) { return entryIndex % kEntriesPerSector * kDirEntrySize; }

TDirEntry BlankEntry(std::uint8_t attributes, std::uint16_t cluster, const TDosDateTime& stamp) {
    TDirEntry entry{};
    std::fill_n(entry.begin() + kEntryName, kEntryNameLength + kEntryExtLength, std::uint8_t(' '));
    entry[kEntryAttributes] = attributes;
    PutLE16(entry.data() + kEntryTime, stamp.Time);
    PutLE16(entry.data() + kEntryDate, stamp.Date);
    PutLE16(entry.data() + kEntryCluster, cluster);
    return entry;
}

// The 8.3 entry for name; none when the name has nothing before its first ".".
std::optional<TDirEntry> BuildEntry(std::string_view name, std::uint8_t attributes, const TDosDateTime& stamp) {
    const std::string upper = UpperAnsi(name);
    const std::size_t dot = upper.find('.');
    const std::string_view base = std::string_view(upper).substr(0, std::min(dot, kEntryNameLength));
    const std::string_view ext = dot == std::string::npos
                                     ? std::string_view()
                                     : std::string_view(upper).substr(dot + 1, kEntryExtLength);
    if (base.empty()) return std::nullopt;
    TDirEntry entry = BlankEntry(attributes, 0, stamp);
    std::copy(base.begin(), base.end(), entry.begin() + kEntryName);
    std::copy(ext.begin(), ext.end(), entry.begin() + kEntryExt);
    if (entry[kEntryName] == kEntryDeleted) entry[kEntryName] = kEntryLeadingE5;
    return entry;
}

bool IsLiveFile(const TDirEntry& entry) {
    return entry[kEntryName] != kEntryDeleted &&
           (entry[kEntryAttributes] & (kAttrDirectory | kAttrVolumeLabel)) == 0;
}

bool PatchSector(TGenericFloppy& floppy, std::uint32_t sector, std::size_t offset, const std::uint8_t* bytes,
                 std::size_t count) {
    TSectorBuffer buffer;
    if (sector == 0 || floppy.ReadSectors(sector, buffer.data(), 1) == 0) return false;
    std::memcpy(buffer.data() + offset, bytes, count);
    return floppy.WriteSectors(sector, buffer.data(), 1) != 0;
}

}  // namespace

bool IsDosDeviceName(std::string_view name) {
    static constexpr std::string_view kDevices[] = {"CON",  "AUX",  "NUL",  "PRN",  "COM1", "COM2",
                                                    "COM3", "COM4", "LPT1", "LPT2", "LPT3"};
    const auto base = UpperAnsi(name.substr(0, name.find('.')));
    return std::find(std::begin(kDevices), std::end(kDevices), base) != std::end(kDevices);
}

TFloppyDirectory::TFloppyDirectory(TGenericFloppy& floppy) : Floppy(&floppy) {
    TSectorBuffer bootSector;
    if (Floppy->ReadSectors(kBootSector, bootSector.data(), 1) != 0) Layout = LayoutFromBootSector(bootSector.data());
    TDirEntry ignored;
    FindFirst(ignored);
}

std::string TFloppyDirectory::StoredName(std::string_view name) {
    const auto entry = BuildEntry(name, 0, {});
    return entry ? EntryName(*entry) : std::string();
}

std::string TFloppyDirectory::EntryName(const TDirEntry& entry) {
    std::string name(reinterpret_cast<const char*>(entry.data() + kEntryName), kEntryNameLength);
    std::string ext(reinterpret_cast<const char*>(entry.data() + kEntryExt), kEntryExtLength);
    if (std::uint8_t(name[0]) == kEntryLeadingE5) name[0] = char(kEntryDeleted);
    while (name.size() > 1 && name.back() == ' ') name.pop_back();
    while (!ext.empty() && ext.back() == ' ') ext.pop_back();
    std::string result = name + "." + ext;
    if (result.size() > 1 && result.back() == '.') result.pop_back();
    return result;
}

// A subdirectory's chain is followed at most once around the disk, so a looping chain ends.
std::uint32_t TFloppyDirectory::ClusterForSector(std::uint32_t sectorIndex) {
    if (sectorIndex >= Layout.ClusterCount()) return 0;
    std::uint32_t cluster = StartCluster, steps = sectorIndex;
    if (sectorIndex == CachedSectorIndex || sectorIndex == CachedSectorIndex + 1) {
        cluster = CachedCluster;
        steps = sectorIndex - CachedSectorIndex;
    }
    for (; steps > 0 && Layout.IsCluster(cluster); --steps) cluster = Floppy->GetFATEntry(cluster);
    if (!Layout.IsCluster(cluster)) return 0;
    CachedSectorIndex = sectorIndex;
    CachedCluster = cluster;
    return cluster;
}

std::uint32_t TFloppyDirectory::SectorOfIndex(std::uint32_t sectorIndex) {
    if (IsRoot) return sectorIndex < Layout.RootEntryCount / kEntriesPerSector ? kRootDirSector + sectorIndex : 0;
    const std::uint32_t cluster = ClusterForSector(sectorIndex);
    return cluster != 0 ? Layout.ClusterSector(cluster) : 0;
}

// An unreadable sector reads as the end of the directory.
bool TFloppyDirectory::ReadDirSector(std::uint32_t sectorIndex) {
    const std::uint32_t sector = SectorOfIndex(sectorIndex);
    if (sector != 0 && Floppy->ReadSectors(sector, Buffer.data(), 1) != 0) return true;
    Buffer.fill(0);
    return false;
}

const std::uint8_t* TFloppyDirectory::CurrentEntry() const { return Buffer.data() + SlotOffset(EntryIndex); }

bool TFloppyDirectory::FindFirst(TDirEntry& entry) {
    EntryIndex = 0;
    SectorIndex = 0;
    CachedSectorIndex = 0;
    CachedCluster = StartCluster;
    if (!ReadDirSector(0) || CurrentEntry()[0] == kEntryEndMarker) return false;
    std::copy_n(CurrentEntry(), kDirEntrySize, entry.begin());
    return true;
}

bool TFloppyDirectory::FindNext(TDirEntry& entry) {
    if (CurrentEntry()[0] == kEntryEndMarker) return false;
    if (IsRoot && EntryIndex >= Layout.RootEntryCount) return false;
    ++EntryIndex;
    if (IsRoot && EntryIndex == Layout.RootEntryCount) return false;
    if (EntryIndex / kEntriesPerSector != SectorIndex) {
        SectorIndex = EntryIndex / kEntriesPerSector;
        if (!ReadDirSector(SectorIndex)) return false;
    }
    if (CurrentEntry()[0] == kEntryEndMarker) return false;
    std::copy_n(CurrentEntry(), kDirEntrySize, entry.begin());
    return true;
}

bool TFloppyDirectory::ChangeDir(std::string_view name) {
    TDirEntry entry;
    for (bool found = FindFirst(entry); found; found = FindNext(entry)) {
        if (entry[kEntryName] == kEntryDeleted || (entry[kEntryAttributes] & kAttrDirectory) == 0 ||
            !SameTextAnsi(EntryName(entry), name))
            continue;
        const std::uint32_t cluster = GetLE16(entry.data() + kEntryCluster);
        if (cluster != 0 && !Layout.IsCluster(cluster)) return false;
        StartCluster = cluster;
        IsRoot = cluster == 0;
        FindFirst(entry);
        return true;
    }
    return false;
}

bool TFloppyDirectory::FindSlot() {
    RootFull = false;
    TDirEntry entry;
    for (bool found = FindFirst(entry); found; found = FindNext(entry))
        if (entry[kEntryName] == kEntryDeleted) return true;
    return AppendSlot();
}

// The new entry takes the end marker's slot; the slot after it becomes the end marker. The root's
// last slot needs no end marker after it; a subdirectory grows by a cluster.
bool TFloppyDirectory::AppendSlot() {
    TDirEntry ignored;
    while (FindNext(ignored)) {
    }
    const std::uint32_t sector = SectorOfIndex(EntryIndex / kEntriesPerSector);
    if (sector == 0) {  // every root slot in use, or a subdirectory whose last cluster is full
        RootFull = IsRoot && Layout.Usable();
        return !IsRoot && EntryIndex > 0 && EntryIndex % kEntriesPerSector == 0 &&
               ExtendDirectory(EntryIndex / kEntriesPerSector - 1);
    }
    TSectorBuffer bytes;
    if (Floppy->ReadSectors(sector, bytes.data(), 1) == 0 || bytes[SlotOffset(EntryIndex)] != kEntryEndMarker)
        return false;
    const std::uint32_t next = EntryIndex + 1;
    if (next % kEntriesPerSector != 0) {
        std::fill_n(bytes.begin() + SlotOffset(next), kDirEntrySize, std::uint8_t(0));
        return Floppy->WriteSectors(sector, bytes.data(), 1) != 0;
    }
    if (!IsRoot) return ExtendDirectory(EntryIndex / kEntriesPerSector);
    if (next >= Layout.RootEntryCount) return true;
    const TSectorBuffer zeros{};
    return Floppy->WriteSectors(kRootDirSector + next / kEntriesPerSector, zeros.data(), 1) != 0;
}

// Links a zeroed cluster after the directory's last one. A last cluster whose chain does not end
// there (damage) is left alone rather than cutting off what follows.
bool TFloppyDirectory::ExtendDirectory(std::uint32_t lastSectorIndex) {
    const std::uint32_t last = ClusterForSector(lastSectorIndex);
    if (last == 0 || Floppy->GetFATEntry(last) < kFatEndMin) return false;
    const std::uint32_t added = AllocateDirCluster();
    if (added == 0) return false;
    if (Floppy->SetFATEntry(last, std::uint16_t(added)) != 0) return true;
    Floppy->SetFATEntry(added, kFatFree);
    return false;
}

std::uint32_t TFloppyDirectory::AllocateDirCluster() {
    for (std::uint32_t cluster = kFirstCluster; cluster <= Layout.LastCluster; ++cluster) {
        if (Floppy->GetFATEntry(cluster) != kFatFree) continue;
        const TSectorBuffer zeros{};
        if (Floppy->SetFATEntry(cluster, kFatEndOfChain) == 0) return 0;
        if (Floppy->WriteSectors(Layout.ClusterSector(cluster), zeros.data(), 1) != 0) return cluster;
        Floppy->SetFATEntry(cluster, kFatFree);
        return 0;
    }
    return 0;
}

bool TFloppyDirectory::WriteEntry(std::uint32_t entryIndex, const TDirEntry& entry) {
    return PatchSector(*Floppy, SectorOfIndex(entryIndex / kEntriesPerSector), SlotOffset(entryIndex),
                       entry.data(), entry.size());
}

bool TFloppyDirectory::MakeDir(std::string_view name) {
    const TDosDateTime stamp = DosDateTimeNow();
    auto entry = BuildEntry(name, kAttrDirectory, stamp);
    if (!entry || !FindSlot()) return false;
    const std::uint32_t cluster = AllocateDirCluster();
    if (cluster == 0) return false;
    PutLE16(entry->data() + kEntryCluster, std::uint16_t(cluster));

    TDirEntry dot = BlankEntry(kAttrDirectory, std::uint16_t(cluster), stamp);
    TDirEntry dotDot = BlankEntry(kAttrDirectory, std::uint16_t(StartCluster), stamp);
    dot[kEntryName] = dotDot[kEntryName] = dotDot[kEntryName + 1] = '.';
    TDirEntry endMarker = dot;
    endMarker[kEntryName] = kEntryEndMarker;
    PutLE16(endMarker.data() + kEntryCluster, 0);
    TSectorBuffer first{};
    std::copy(dot.begin(), dot.end(), first.begin());
    std::copy(dotDot.begin(), dotDot.end(), first.begin() + kDirEntrySize);
    std::copy(endMarker.begin(), endMarker.end(), first.begin() + 2 * kDirEntrySize);

    if (Floppy->WriteSectors(Layout.ClusterSector(cluster), first.data(), 1) != 0 && WriteEntry(EntryIndex, *entry))
        return true;
    Floppy->SetFATEntry(cluster, kFatFree);
    return false;
}

std::optional<TFloppyFile> TFloppyDirectory::CreateFile(std::string_view name) {
    const auto entry = BuildEntry(name, 0, DosDateTimeNow());
    if (!entry || !FindSlot() || !WriteEntry(EntryIndex, *entry)) return std::nullopt;
    return TFloppyFile(*Floppy, SectorOfIndex(EntryIndex / kEntriesPerSector), EntryIndex % kEntriesPerSector,
                       Layout);
}

bool TFloppyDirectory::MarkDeleted(std::uint32_t entryIndex) {
    return PatchSector(*Floppy, SectorOfIndex(entryIndex / kEntriesPerSector), SlotOffset(entryIndex),
                       &kEntryDeleted, 1);
}

void TFloppyDirectory::FreeChain(std::uint32_t cluster) {
    for (std::uint32_t steps = 0; steps < Layout.ClusterCount() && Layout.IsCluster(cluster); ++steps) {
        const std::uint32_t next = Floppy->GetFATEntry(cluster);
        if (Floppy->SetFATEntry(cluster, kFatFree) == 0) return;
        cluster = next;
    }
}

bool TFloppyDirectory::DeleteFile(std::string_view name) {
    TDirEntry entry;
    std::optional<std::uint32_t> longNameStart;  // the long-name entries just before this one
    for (bool found = FindFirst(entry); found; found = FindNext(entry)) {
        if (entry[kEntryName] != kEntryDeleted && entry[kEntryAttributes] == kAttrLongName) {
            if (!longNameStart) longNameStart = EntryIndex;
            continue;
        }
        const std::uint32_t first = longNameStart.value_or(EntryIndex);
        longNameStart.reset();
        if (!IsLiveFile(entry) || !SameTextAnsi(EntryName(entry), name)) continue;
        const std::uint32_t last = EntryIndex;
        for (std::uint32_t index = first; index <= last; ++index)
            if (!MarkDeleted(index)) return false;
        FreeChain(GetLE16(entry.data() + kEntryCluster));
        return true;
    }
    return false;
}

}  // namespace bootdisk
