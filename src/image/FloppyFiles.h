// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small FAT12 directory and file layer over any sector device: walk a directory, change into
// and create subdirectories, create, write and delete files. Operations report false or 0; a
// damaged disk (bad boot sector counts, looping or out-of-range cluster chains) makes them fail
// without touching sectors outside the disk.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "image/Fat12Format.h"
#include "image/Vfloppy.h"

namespace bootdisk {

using TDirEntry = std::array<std::uint8_t, fat12::kDirEntrySize>;

// CON, AUX, NUL, PRN, COM1..COM4 or LPT1..LPT3 in any case and with any extension: DOS opens the
// device of that name instead of a file, so such a name can never be a file on the disk.
bool IsDosDeviceName(std::string_view name);
using TSectorBuffer = std::array<std::uint8_t, fat12::kSectorSize>;

// One open file, created empty by TFloppyDirectory::CreateFile and written sequentially from 0.
class TFloppyFile {
public:
    // Appends count bytes; returns how many were written, fewer when the disk is full. The
    // directory entry records the size and first cluster actually written.
    std::size_t Write(const void* buffer, std::size_t count);

private:
    friend class TFloppyDirectory;
    TFloppyFile(TGenericFloppy& floppy, std::uint32_t entrySector, std::uint32_t entrySlot,
                const fat12::TFat12Layout& layout);

    // The first free cluster above cluster (from 2 for an empty file), marked end of chain and
    // linked; 0 when none is left.
    std::uint32_t NextCluster(std::uint32_t cluster);
    bool UpdateEntry();

    TGenericFloppy* Floppy;
    std::uint32_t EntrySector;
    std::uint32_t EntrySlot;
    std::uint32_t CurrentCluster = 0;  // holds the byte before Position; 0 while the file is empty
    std::uint32_t FirstCluster = 0;
    fat12::TFat12Layout Layout;
    std::uint32_t Position = 0;
    std::uint32_t Size = 0;
};

// One open directory; constructed on the root of floppy, which it reads but does not own.
class TFloppyDirectory {
public:
    explicit TFloppyDirectory(TGenericFloppy& floppy);

    // Walk the entries in order, deleted ones and labels included; false at the end marker, after
    // the last root entry, or when a sector cannot be reached.
    bool FindFirst(TDirEntry& entry);
    bool FindNext(TDirEntry& entry);

    // Enters the subdirectory called name (case-insensitive); false leaves the current directory.
    bool ChangeDir(std::string_view name);
    // Names are stored as 8.3: upper case, split at the first ".", cut to 8 and 3 characters.
    bool MakeDir(std::string_view name);
    std::optional<TFloppyFile> CreateFile(std::string_view name);
    // Removes the first file called name, its long-name entries and its clusters.
    bool DeleteFile(std::string_view name);
    // After MakeDir or CreateFile failed: whether it was for want of a free root entry (rather
    // than of a free cluster).
    bool RootIsFull() const { return RootFull; }

    // "KORVANE.INI", "COMMAND" (no extension), "." and "..".
    static std::string EntryName(const TDirEntry& entry);
    // The name an entry made for name reads back as ("LONGNAME.TEXT" gives "LONGNAME.TEX"); empty
    // when no entry can be made for it.
    static std::string StoredName(std::string_view name);

private:
    std::uint32_t ClusterForSector(std::uint32_t sectorIndex);
    // The device sector that holds directory sector sectorIndex; 0 when it is not reachable.
    std::uint32_t SectorOfIndex(std::uint32_t sectorIndex);
    bool ReadDirSector(std::uint32_t sectorIndex);
    // Positions EntryIndex on a reusable deleted entry or on a new slot at the end.
    bool FindSlot();
    bool AppendSlot();
    bool ExtendDirectory(std::uint32_t lastSectorIndex);
    std::uint32_t AllocateDirCluster();
    bool WriteEntry(std::uint32_t entryIndex, const TDirEntry& entry);
    bool MarkDeleted(std::uint32_t entryIndex);
    void FreeChain(std::uint32_t cluster);
    const std::uint8_t* CurrentEntry() const;

    TGenericFloppy* Floppy;
    std::uint32_t StartCluster = 0;
    std::uint32_t SectorIndex = 0;
    TSectorBuffer Buffer{};
    std::uint32_t EntryIndex = 0;
    std::uint32_t CachedSectorIndex = 0;
    std::uint32_t CachedCluster = 0;
    fat12::TFat12Layout Layout;
    bool IsRoot = true;
    bool RootFull = false;
};

}  // namespace bootdisk
