// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/ISO9660.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/Bytes.h"
#include "image/ElToritoFormat.h"

namespace bootdisk {

using namespace eltorito;

namespace {

std::uint8_t* SectorAt(std::span<std::uint8_t> image, std::uint32_t sector) {
    return image.data() + std::size_t(sector) * kSectorSize;
}

void PutDescriptorHeader(std::uint8_t* desc, std::uint8_t type) {
    desc[kDescType] = type;
    std::memcpy(desc + kDescId, kStandardId, 5);
    desc[kDescVersion] = 1;
}

void PutValidationEntry(std::uint8_t* entry, std::string_view catalogId) {
    entry[kValHeaderId] = 1;
    entry[kValPlatform] = 0;
    const std::string id = std::string(catalogId) + std::string(16, ' ');
    std::memcpy(entry + kValIdString, id.data(), std::min(id.size(), kValIdLength));
    entry[kValKey55] = 0x55;
    entry[kValKeyAA] = 0xAA;
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < kValidationSize; i += 2) sum = std::uint16_t(sum + GetLE16(entry + i));
    PutLE16(entry + kValChecksum, std::uint16_t(-sum));
}

void PutDefaultEntry(std::uint8_t* catalog) {
    catalog[kDefBootIndicator] = kBootable;
    catalog[kDefMediaType] = kMedia144Floppy;
    PutLE16(catalog + kDefLoadSegment, kLoadSegment);
    catalog[kDefSystemType] = kSystemType;
    PutLE16(catalog + kDefSectorCount, 1);
    PutLE32(catalog + kDefLoadRba, kFloppySector);
}

}  // namespace

std::span<std::uint8_t, kFloppySize> TBootCdImage::Floppy() {
    return bytes_.Bytes().subspan<std::size_t(kFloppySector) * kSectorSize, kFloppySize>();
}

void TBootCdImage::PutHead(std::string_view catalogId) {
    const auto head = bytes_.Bytes().first(std::size_t(kFloppySector) * kSectorSize);

    PutDescriptorHeader(SectorAt(head, kFirstDescriptorSector), kTypeLeadIn);
    auto* bootRecord = SectorAt(head, kBootRecordSector);
    PutDescriptorHeader(bootRecord, kTypeBootRecord);
    std::memcpy(bootRecord + kBootSystemId, kBootSystemName, sizeof kBootSystemName - 1);
    PutLE32(bootRecord + kBootCatalogPointer, kCatalogSector);
    PutDescriptorHeader(SectorAt(head, kTerminatorSector), kTypeTerminator);

    auto* catalog = SectorAt(head, kCatalogSector);
    PutValidationEntry(catalog, catalogId);
    PutDefaultEntry(catalog);
}

}  // namespace bootdisk
