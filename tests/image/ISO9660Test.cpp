// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/ISO9660.h"

#include <gtest/gtest.h>

#include <numeric>

#include "base/Bytes.h"

namespace bootdisk {
namespace {

constexpr std::size_t kSector = 2048;

// The image with floppy built in place, or nothing put there.
std::vector<std::uint8_t> Build(const std::vector<std::uint8_t>& floppy, std::string_view id = "Halvex Quellmark 2005") {
    TBootCdImage image;
    std::copy(floppy.begin(), floppy.end(), image.Floppy().begin());
    image.PutHead(id);
    const auto bytes = image.Bytes();
    return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> Floppy() {
    std::vector<std::uint8_t> floppy(1'474'560);
    for (std::size_t i = 0; i < floppy.size(); ++i) floppy[i] = std::uint8_t(i * 7 + i / 512);
    return floppy;
}

bool AllZero(const std::vector<std::uint8_t>& v, std::size_t from, std::size_t to) {
    return std::all_of(v.begin() + std::ptrdiff_t(from), v.begin() + std::ptrdiff_t(to),
                       [](std::uint8_t b) { return b == 0; });
}

TEST(BootCdImage, DescriptorsAndCatalogueAreLaidOutForFloppyEmulation) {
    const auto image = Build(Floppy());
    ASSERT_EQ(image.size(), 1'515'520u);
    EXPECT_TRUE(AllZero(image, 0, 16 * kSector));

    const std::uint8_t lead[] = {0xFE, 'C', 'D', '0', '0', '1', 0x01};
    EXPECT_TRUE(std::equal(std::begin(lead), std::end(lead), image.begin() + 16 * kSector));
    EXPECT_TRUE(AllZero(image, 16 * kSector + 7, 17 * kSector));

    const auto* boot = image.data() + 17 * kSector;
    EXPECT_EQ(boot[0], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(boot + 1), 5), "CD001");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(boot + 7), 32),
              std::string("EL TORITO SPECIFICATION") + std::string(9, '\0'));
    EXPECT_EQ(GetLE32(boot + 71), 19u);
    EXPECT_TRUE(AllZero(image, 17 * kSector + 75, 18 * kSector));

    const std::uint8_t end[] = {0xFF, 'C', 'D', '0', '0', '1', 0x01};
    EXPECT_TRUE(std::equal(std::begin(end), std::end(end), image.begin() + 18 * kSector));

    const auto* catalog = image.data() + 19 * kSector;
    EXPECT_EQ(catalog[0], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(catalog + 4), 24), "Halvex Quellmark 2005   ");
    EXPECT_EQ(catalog[30], 0x55);
    EXPECT_EQ(catalog[31], 0xAA);
    std::uint32_t sum = 0;
    for (int i = 0; i < 32; i += 2) sum += GetLE16(catalog + i);
    EXPECT_EQ(sum % 65536, 0u);

    const std::uint8_t entry[] = {0x88, 2, 0xC0, 0x07, 4, 0, 1, 0, 20, 0, 0, 0};
    EXPECT_TRUE(std::equal(std::begin(entry), std::end(entry), catalog + 32));
    EXPECT_TRUE(AllZero(image, 19 * kSector + 44, 20 * kSector));

    const auto floppy = Floppy();
    EXPECT_TRUE(std::equal(floppy.begin(), floppy.end(), image.begin() + 20 * kSector));
}

TEST(BootCdImage, LongCatalogueIdIsCutTo24CharactersAndAnImageWithNoFloppyBuiltIsZeroThere) {
    const auto image = Build({}, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_TRUE(AllZero(image, 20 * kSector, image.size()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data() + 19 * kSector + 4), 24),
              "ABCDEFGHIJKLMNOPQRSTUVWX");
    std::uint32_t sum = 0;
    for (int i = 0; i < 32; i += 2) sum += GetLE16(image.data() + 19 * kSector + i);
    EXPECT_EQ(sum % 65536, 0u);
}

}  // namespace
}  // namespace bootdisk
