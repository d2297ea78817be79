// SPDX-License-Identifier: GPL-3.0-or-later
// The boot CD with --iso9660, opened by the ISO tools we did not write; and without it, the plain
// boot CD image.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Streams.h"
#include "image/ElToritoFormat.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Quoted;
using test::RunCommand;
using testing::HasSubstr;

constexpr std::size_t kSector = eltorito::kSectorSize;

class Iso9660Volume : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"isoinfo", "xorriso", "7z"})
            if (RunCommand(std::string("command -v ") + tool) != 0)
                GTEST_SKIP() << tool << " is not installed; scripts/setup installs genisoimage, xorriso, p7zip-full";
        ASSERT_EQ(Bootdisk("iso plain.iso"), 0) << output;
        ASSERT_EQ(Bootdisk("iso volume.iso --iso9660"), 0) << output;
        plain = ReadWholeFile(temp / "plain.iso");
        volume = ReadWholeFile(temp / "volume.iso");
    }

    int Bootdisk(const std::string& arguments) {
        return RunCommand("cd " + Quoted(temp.Path()) + " && SOURCE_DATE_EPOCH=1136073600 " +
                              Quoted(test::BinPath("bootdisk")) + " " + arguments + " < /dev/null",
                          &output);
    }
    // Runs a tool on the volume in the temp folder; its output, stdout and stderr together.
    std::string Tool(const std::string& command) {
        std::string out;
        EXPECT_EQ(RunCommand("cd " + Quoted(temp.Path()) + " && " + test::kToolPath + command, &out), 0) << out;
        return out;
    }
    Bytes Sectors(const Bytes& image, std::size_t first, std::size_t end) const {
        return Bytes(image.begin() + std::ptrdiff_t(first * kSector), image.begin() + std::ptrdiff_t(end * kSector));
    }

    test::TTempDir temp;
    std::string output;
    Bytes plain, volume;
};

TEST_F(Iso9660Volume, EveryIsoToolListsTheBootImageAsTheSectorsElToritoBoots) {
    const auto info = Tool("isoinfo -d -i volume.iso");
    EXPECT_THAT(info, HasSubstr("Volume id: HALVEX_QUELLMARK_2005"));
    EXPECT_THAT(info, HasSubstr("Volume size is: 744"));
    EXPECT_THAT(info, HasSubstr("El Torito VD version 1 found, boot catalog is in sector 19"));
    EXPECT_THAT(Tool("isoinfo -l -i volume.iso"), testing::ContainsRegex("1474560 Jan  1 2006 \\[ +20 00\\]  BOOT.IMG;1"));
    EXPECT_THAT(Tool("xorriso -indev volume.iso -ls /"), testing::ContainsRegex("'BOOT.IMG'\n'README.TXT'\n"));
    EXPECT_THAT(Tool("7z l volume.iso"), testing::ContainsRegex("1474560 +BOOT.IMG"));
    EXPECT_THAT(Tool("isovfy volume.iso"), HasSubstr("No errors found"));
    // blkid's UUID is the volume's modification date: SOURCE_DATE_EPOCH.
    const auto blkid = Tool("blkid -p volume.iso");
    EXPECT_THAT(blkid, HasSubstr("LABEL=\"HALVEX_QUELLMARK_2005\""));
    EXPECT_THAT(blkid, HasSubstr("UUID=\"2006-01-01-00-00-00-00\""));

    // The file's bytes, as two tools take them out, are the floppy image the BIOS boots.
    Tool("isoinfo -i volume.iso -x '/BOOT.IMG;1' > isoinfo.img && 7z e -so volume.iso BOOT.IMG > 7z.img");
    const auto floppy = Sectors(volume, eltorito::kFloppySector, eltorito::kSectorCount);
    EXPECT_TRUE(ReadWholeFile(temp / "isoinfo.img") == floppy);
    EXPECT_TRUE(ReadWholeFile(temp / "7z.img") == floppy);
    EXPECT_THAT(Tool("isoinfo -i volume.iso -x '/README.TXT;1'"), HasSubstr("BOOT.IMG is that image"));
}

// The volume changes sector 16 and adds sectors after the floppy image, nothing else; without the
// option sector 16 stays the lead-in descriptor and the image 740 sectors, byte for byte the one
// made before the option existed (only a deliberate change of the boot CD may change this hash).
TEST_F(Iso9660Volume, WithoutTheOptionTheImageIsThePlainBootCd) {
    EXPECT_THAT(Tool("sha256sum plain.iso"),
                testing::StartsWith("069b6776a882c899ea2e6fa80d585b05073b070917304df26f07c0a205142c12 "));
    ASSERT_EQ(plain.size(), eltorito::kImageSize);
    ASSERT_EQ(volume.size(), eltorito::kImageSize + 4 * kSector);
    Bytes lead(kSector, 0);
    std::copy_n("\xFE" "CD001\x01", 7, lead.begin());
    EXPECT_EQ(Sectors(plain, 16, 17), lead);
    EXPECT_EQ(Sectors(volume, 0, 16), Sectors(plain, 0, 16));
    EXPECT_EQ(Sectors(volume, 17, eltorito::kSectorCount), Sectors(plain, 17, eltorito::kSectorCount));
    EXPECT_EQ(volume[16 * kSector], 1);  // the primary volume descriptor
}

}  // namespace
}  // namespace bootdisk
