// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/PrimaryVolume.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "image/Iso9660Format.h"

namespace bootdisk {

using namespace iso9660;
using eltorito::kSectorSize;

namespace {

using TSector = std::array<std::uint8_t, kSectorSize>;

struct TMoment {
    int year, month, day, hour, minute, second;
};

// The latest moment a directory record can hold: 2155-12-31 23:59:59 UTC.
constexpr std::int64_t kLatestSeconds = 5'869'583'999;

TMoment MomentOf(std::int64_t epochSeconds) {
    using namespace std::chrono;
    const sys_seconds moment{seconds(std::clamp<std::int64_t>(epochSeconds, 0, kLatestSeconds))};
    const auto day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss clock{moment - day};
    return {int(date.year()), int(unsigned(date.month())), int(unsigned(date.day())), int(clock.hours().count()),
            int(clock.minutes().count()), int(clock.seconds().count())};
}

void PutBoth16(std::uint8_t* p, std::uint16_t value) {
    PutLE16(p, value);
    PutBE16(p + 2, value);
}

void PutBoth32(std::uint8_t* p, std::uint32_t value) {
    PutLE32(p, value);
    PutBE32(p + 4, value);
}

void PutPadded(std::uint8_t* p, std::size_t width, std::string_view text) {
    std::memset(p, ' ', width);
    std::memcpy(p, text.data(), std::min(width, text.size()));
}

// Volume identifiers take d-characters only: upper-case letters, digits and "_".
std::string VolumeId(std::string_view title) {
    std::string id;
    for (const char c : title.substr(0, kIdLength)) {
        const char upper = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        id += (upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9') ? upper : '_';
    }
    return id.empty() ? std::string("BOOTDISK") : id;
}

void PutVolumeDate(std::uint8_t* p, const TMoment& m) {
    char text[kVolumeDateLength + 1];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d00", m.year, m.month, m.day, m.hour, m.minute, m.second);
    std::memcpy(p, text, kVolumeDateLength - 1);
    p[kVolumeDateLength - 1] = 0;  // UTC
}

// A date no one has set: all digits zero, offset zero.
void PutNoVolumeDate(std::uint8_t* p) {
    std::memset(p, '0', kVolumeDateLength - 1);
    p[kVolumeDateLength - 1] = 0;
}

struct TEntry {
    std::string_view name;  // "\0" for the directory itself, "\1" for its parent
    std::uint32_t extent;
    std::uint32_t size;
    std::uint8_t flags;
};

// Writes one directory record at p; returns its length.
std::size_t PutRecord(std::uint8_t* p, const TEntry& entry, const TMoment& m) {
    const auto nameLength = entry.name.size();
    const auto length = kRecordName + nameLength + (nameLength % 2 == 0 ? 1 : 0);
    std::memset(p, 0, length);
    p[kRecordLength] = std::uint8_t(length);
    PutBoth32(p + kRecordExtent, entry.extent);
    PutBoth32(p + kRecordDataLength, entry.size);
    const std::uint8_t date[kRecordDateLength] = {std::uint8_t(m.year - 1900), std::uint8_t(m.month),
                                                  std::uint8_t(m.day),         std::uint8_t(m.hour),
                                                  std::uint8_t(m.minute),      std::uint8_t(m.second), 0};
    std::memcpy(p + kRecordDate, date, kRecordDateLength);
    p[kRecordFlags] = entry.flags;
    PutBoth16(p + kRecordSequenceNumber, 1);
    p[kRecordNameLength] = std::uint8_t(nameLength);
    std::memcpy(p + kRecordName, entry.name.data(), nameLength);
    return length;
}

const TEntry kRoot{std::string_view("\0", 1), kRootSector, kSectorSize, kFlagDirectory};

TSector PrimaryDescriptor(std::string_view title, const TMoment& m) {
    TSector pvd{};
    pvd[eltorito::kDescType] = kTypePrimary;
    std::memcpy(&pvd[eltorito::kDescId], eltorito::kStandardId, 5);
    pvd[eltorito::kDescVersion] = 1;
    PutPadded(&pvd[kSystemId], kIdLength, "");
    PutPadded(&pvd[kVolumeId], kIdLength, VolumeId(title));
    PutBoth32(&pvd[kVolumeSpaceSize], kVolumeSectors);
    PutBoth16(&pvd[kVolumeSetSize], 1);
    PutBoth16(&pvd[kVolumeSequenceNumber], 1);
    PutBoth16(&pvd[kLogicalBlockSize], std::uint16_t(kSectorSize));
    PutBoth32(&pvd[kPathTableSize], std::uint32_t(kRootPathRecordSize));
    PutLE32(&pvd[kTypeLPathTable], kLPathSector);
    PutBE32(&pvd[kTypeMPathTable], kMPathSector);
    PutRecord(&pvd[kRootDirectoryRecord], kRoot, m);
    for (const auto field : {kVolumeSetId, kPublisherId, kPreparerId}) PutPadded(&pvd[field], kLongIdLength, "");
    PutPadded(&pvd[kApplicationId], kLongIdLength, "BOOTDISK");
    for (const auto field : {kCopyrightFileId, kAbstractFileId, kBibliographicFileId})
        PutPadded(&pvd[field], kFileIdLength, "");
    PutVolumeDate(&pvd[kCreationDate], m);
    PutVolumeDate(&pvd[kModificationDate], m);
    PutNoVolumeDate(&pvd[kExpirationDate]);
    PutNoVolumeDate(&pvd[kEffectiveDate]);
    pvd[kFileStructureVersion] = 1;
    return pvd;
}

// The one record of a path table that holds only the root, in the table's byte order.
TSector PathTable(bool bigEndian) {
    TSector table{};
    table[kPathNameLength] = 1;
    if (bigEndian) {
        PutBE32(&table[kPathExtent], kRootSector);
        PutBE16(&table[kPathParent], 1);
    } else {
        PutLE32(&table[kPathExtent], kRootSector);
        PutLE16(&table[kPathParent], 1);
    }
    return table;
}

std::string ReadmeText(std::string_view title) {
    return std::string(title) +
           " boot CD\r\n\r\n"
           "This disc starts the computer from a 1.44 MB floppy image (El Torito floppy\r\n"
           "emulation). BOOT.IMG is that image: the very sectors the computer boots from.\r\n"
           "Written to a floppy disk, it makes the same boot disk.\r\n";
}

}  // namespace

void AddPrimaryVolume(TStream& image, std::string_view title, std::int64_t epochSeconds) {
    if (image.Size() != eltorito::kImageSize)
        throw std::invalid_argument("a primary volume is added to a boot CD image of 740 sectors only");
    const auto moment = MomentOf(epochSeconds);
    auto readme = ReadmeText(title);
    readme.resize(std::min<std::size_t>(readme.size(), kSectorSize));

    std::vector<std::uint8_t> tail(std::size_t(kVolumeSectors - kRootSector) * kSectorSize, 0);
    auto* root = tail.data();
    std::size_t at = 0;
    const TEntry entries[] = {
        kRoot,
        {std::string_view("\1", 1), kRootSector, kSectorSize, kFlagDirectory},
        {"BOOT.IMG;1", eltorito::kFloppySector, std::uint32_t(eltorito::kFloppySize), 0},
        {"README.TXT;1", kReadmeSector, std::uint32_t(readme.size()), 0},
    };
    for (const auto& entry : entries) at += PutRecord(root + at, entry, moment);
    const auto little = PathTable(false), big = PathTable(true);
    std::copy(little.begin(), little.end(), tail.begin() + std::ptrdiff_t((kLPathSector - kRootSector) * kSectorSize));
    std::copy(big.begin(), big.end(), tail.begin() + std::ptrdiff_t((kMPathSector - kRootSector) * kSectorSize));
    std::copy(readme.begin(), readme.end(), tail.begin() + std::ptrdiff_t((kReadmeSector - kRootSector) * kSectorSize));

    const auto descriptor = PrimaryDescriptor(title, moment);
    image.SetPosition(std::uint64_t(kPrimarySector) * kSectorSize);
    image.WriteBuffer(descriptor.data(), descriptor.size());
    image.SetPosition(eltorito::kImageSize);
    image.WriteBuffer(tail.data(), tail.size());
}

}  // namespace bootdisk
