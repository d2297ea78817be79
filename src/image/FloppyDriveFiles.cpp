// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/FloppyDriveFiles.h"

#include "base/Bytes.h"
#include "base/Errors.h"
#include "image/DosBoot.h"
#include "image/FloppyFiles.h"

namespace bootdisk {
namespace {

using namespace fat12;

struct TSplitPath {
    std::string_view folder;  // empty for the root
    std::string_view name;
};

TSplitPath Split(std::string_view path) {
    const auto split = path.rfind('\\');
    if (split == std::string_view::npos) return {{}, path};
    return {path.substr(0, split), path.substr(split + 1)};
}

// The directory at path without making anything.
std::optional<TFloppyDirectory> OpenDirectory(TGenericFloppy& floppy, std::string_view path) {
    TFloppyDirectory dir(floppy);
    while (!path.empty()) {
        const auto split = path.find('\\');
        if (!dir.ChangeDir(TFloppyDirectory::StoredName(path.substr(0, split)))) return std::nullopt;
        path = split == std::string_view::npos ? std::string_view() : path.substr(split + 1);
    }
    return dir;
}

// The live entry (not a label) stored under key.
std::optional<TDirEntry> FindEntry(TFloppyDirectory& dir, const std::string& key) {
    TDirEntry entry;
    for (bool found = dir.FindFirst(entry); found; found = dir.FindNext(entry))
        if (entry[kEntryName] != kEntryDeleted && (entry[kEntryAttributes] & kAttrVolumeLabel) == 0 &&
            TFloppyDirectory::EntryName(entry) == key)
            return entry;
    return std::nullopt;
}

}  // namespace

bool TFloppyDriveFiles::MakeFolder(const std::string& path) {
    return StaysBelowRoot(path) &&
           access_([&](TGenericFloppy& floppy) { return EnsureDirectory(floppy, path).has_value(); });
}

bool TFloppyDriveFiles::CreateFile(const std::string& path, TStream& source) {
    // Nothing larger than the disk is read into memory.
    if (!StaysBelowRoot(path) || source.Remaining() > kImageSize) return false;
    std::vector<std::uint8_t> bytes(std::size_t(source.Remaining()));
    try {
        source.ReadBuffer(bytes.data(), bytes.size());
    } catch (const EStreamError&) {
        return false;
    }
    const auto [folder, name] = Split(path);
    // Named captures: clang 14 cannot capture structured bindings.
    return access_([&, &folder = folder, &name = name](TGenericFloppy& floppy) {
        auto dir = OpenDirectory(floppy, folder);
        const auto key = TFloppyDirectory::StoredName(name);
        if (!dir || key.empty()) return false;
        if (const auto existing = FindEntry(*dir, key); existing && ((*existing)[kEntryAttributes] & kAttrDirectory))
            return false;
        while (dir->DeleteFile(key)) {
        }
        auto file = dir->CreateFile(name);
        return file && file->Write(bytes.data(), bytes.size()) == bytes.size();
    });
}

std::optional<std::vector<std::uint8_t>> ReadFloppyFile(TGenericFloppy& floppy, std::string_view path) {
    const auto [folder, name] = Split(path);
    auto dir = OpenDirectory(floppy, folder);
    if (!dir) return std::nullopt;
    const auto entry = FindEntry(*dir, TFloppyDirectory::StoredName(name));
    TSectorBuffer sector;
    if (!entry || ((*entry)[kEntryAttributes] & kAttrDirectory) || floppy.ReadSectors(kBootSector, sector.data(), 1) == 0)
        return std::nullopt;
    const auto layout = LayoutFromBootSector(sector.data());
    const std::uint32_t size = GetLE32(entry->data() + kEntryFileSize);
    if (std::uint64_t{size} > std::uint64_t{layout.ClusterCount()} * kSectorSize) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(size);
    // Every cluster adds bytes, so a looping chain ends with the size.
    for (std::uint32_t cluster = GetLE16(entry->data() + kEntryCluster); bytes.size() < size;
         cluster = floppy.GetFATEntry(cluster)) {
        if (!layout.IsCluster(cluster) || floppy.ReadSectors(layout.ClusterSector(cluster), sector.data(), 1) == 0)
            return std::nullopt;
        const auto n = std::min<std::size_t>(kSectorSize, size - bytes.size());
        bytes.insert(bytes.end(), sector.begin(), sector.begin() + std::ptrdiff_t(n));
    }
    return bytes;
}

}  // namespace bootdisk
