// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/LZH.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "base/Bytes.h"
#include "support/LZHReference.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::ReadData;

Bytes Unpack(const Bytes& packed, const TLZHProgressEvent& onProgress = {},
             std::uint32_t maxLength = kLZHNoLimit) {
    TMemoryStream in(packed), out;
    LZHUnpack(in, out, onProgress, maxLength);
    auto bytes = out.Bytes();
    return {bytes.begin(), bytes.end()};
}

Bytes Pack(const Bytes& plain) {
    TMemoryStream in(plain), out;
    LZHPack(in, out);
    auto bytes = out.Bytes();
    return {bytes.begin(), bytes.end()};
}

Bytes WithHeader(std::uint32_t length, const Bytes& code) {
    Bytes stream(4 + code.size());
    PutLE32(stream.data(), length);
    std::copy(code.begin(), code.end(), stream.begin() + 4);
    return stream;
}

// The reference vectors come from the standard LZHUF encoder. Among them, c_100_spaces opens
// with a match into the space-filled ring, d_1000_a with overlapping matches one byte back, and
// g_rebuilds, long enough for the root frequency to reach its limit, runs through five tree rebuilds.
class LZHVector : public testing::TestWithParam<const char*> {
protected:
    Bytes Plain() const { return ReadData(std::string("lzhuf/") + GetParam() + ".bin"); }
    Bytes Packed() const { return ReadData(std::string("lzhuf/") + GetParam() + ".lzh"); }
};

TEST_P(LZHVector, DecodesToTheReferenceBytes) { EXPECT_EQ(Unpack(Packed()), Plain()); }

TEST_P(LZHVector, EncodesExactlyAsTheStandardEncoder) { EXPECT_EQ(Pack(Plain()), Packed()); }

INSTANTIATE_TEST_SUITE_P(Reference, LZHVector,
                         testing::Values("a_empty", "b_single_A", "c_100_spaces", "d_1000_a",
                                         "e_text_gpl", "g_floppy_1440k", "g_rebuilds"));

// The table-driven decoder against the classic tree walk, on streams damaged at random: garbage
// code bits shape the adaptive tree in ways no encoder would, and both must make the same of them,
// byte for byte and error for error.
TEST(LZHUnpack, AgreesWithTheClassicDecoderOnDamagedStreams) {
    const Bytes intact = ReadData("lzhuf/g_rebuilds.lzh");
    std::mt19937 random(21);
    for (int round = 0; round < 60; ++round) {
        Bytes damaged = intact;
        for (int flips = 1 + round % 4; flips > 0; --flips) {
            const auto at = 4 + random() % (damaged.size() - 4);
            damaged[at] = std::uint8_t(damaged[at] ^ (1u << random() % 8));
        }
        if (round % 3 == 0) damaged.resize(4 + random() % (damaged.size() - 4));
        const auto decode = [&](auto unpack, std::string& error) {
            TMemoryStream in(damaged), out;
            try {
                unpack(in, out, {}, 1u << 20);
            } catch (const ELZHError& e) {
                error = e.what();
            }
            const auto bytes = out.Bytes();
            return Bytes(bytes.begin(), bytes.end());
        };
        std::string error, classicError;
        const Bytes bytes = decode(LZHUnpack, error);
        EXPECT_EQ(bytes, decode(test::LZHUnpackReference, classicError)) << "round " << round;
        EXPECT_EQ(error, classicError) << "round " << round;
    }
}

TEST(LZHCodec, RoundTripsDataOfEveryKind) {
    std::mt19937 random(1234);
    Bytes noise(200'000);
    for (auto& b : noise) b = std::uint8_t(random());
    // Skewed byte frequencies make a lopsided tree; a size just past the buffer size ends
    // with a one-byte flush.
    Bytes skewed(150'000);
    for (auto& b : skewed) b = std::uint8_t(std::countr_zero(random() | 0x80000000u) * 9);
    Bytes around(10'241);
    for (std::size_t i = 0; i < around.size(); ++i) around[i] = std::uint8_t(i % 251 < 3 ? 0 : i * i);

    for (const Bytes* plain : {&noise, &skewed, &around}) {
        const Bytes packed = Pack(*plain);
        ASSERT_EQ(GetLE32(packed.data()), plain->size());
        EXPECT_EQ(Unpack(packed), *plain);
    }
}

TEST(LZHCodec, PacksFromTheStreamPositionAndUnpacksAtTheOutputPosition) {
    const Bytes text = ReadData("lzhuf/e_text_gpl.bin");
    TMemoryStream in(text), packed, out;
    in.SetPosition(1000);
    LZHPack(in, packed);
    packed.Rewind();
    out.WriteBuffer("head", 4);
    LZHUnpack(packed, out);
    const auto bytes = out.Bytes();
    ASSERT_EQ(bytes.size(), 4 + text.size() - 1000);
    EXPECT_TRUE(std::equal(text.begin() + 1000, text.end(), bytes.begin() + 4));
}

TEST(LZHUnpack, AZeroOrNegativeLengthProducesNothingAndIgnoresWhatFollows) {
    EXPECT_TRUE(Unpack(ReadData("lzhuf/edge_zero_header_trailing.lzh")).empty());
    EXPECT_TRUE(Unpack(WithHeader(0xFFFFFFFF, {0x12, 0x34})).empty());
    EXPECT_TRUE(Unpack(WithHeader(0x80000000, {})).empty());
}

TEST(LZHUnpack, ATruncatedStreamIsDamagedNotGarbage) {
    const Bytes plain = ReadData("lzhuf/e_text_gpl.bin");
    TMemoryStream in(ReadData("lzhuf/edge_truncated_e.lzh")), out;
    EXPECT_THROW(LZHUnpack(in, out), ELZHError);
    // What was flushed before the code ran out is still right.
    const auto written = out.Bytes();
    EXPECT_GT(written.size(), 0u);
    EXPECT_TRUE(std::equal(written.begin(), written.end(), plain.begin()));
}

TEST(LZHUnpack, AnIncompleteHeaderIsDamaged) {
    EXPECT_THROW(Unpack({}), ELZHError);
    EXPECT_THROW(Unpack({0x05, 0x00, 0x00}), ELZHError);
}

// Counts what is written without keeping it, to show the decoder's memory stays bounded.
class TCountingStream : public TStream {
public:
    std::size_t Read(void*, std::size_t) override { return 0; }
    std::size_t Write(const void*, std::size_t count) override {
        position_ += count;
        return count;
    }
    std::uint64_t Position() const override { return position_; }
    void SetPosition(std::uint64_t position) override { position_ = position; }
    std::uint64_t Size() const override { return position_; }

private:
    std::uint64_t position_ = 0;
};

TEST(LZHUnpack, AHugeAnnouncedLengthWithLittleCodeFailsAtTheEndOfTheCode) {
    TMemoryStream in(WithHeader(0x7FFFFFF0, {0xFF, 0x00, 0xA5, 0x5A, 0xFF, 0xFF, 0x12, 0x34, 0x56, 0x78}));
    TCountingStream out;
    try {
        LZHUnpack(in, out);
        FAIL() << "no error";
    } catch (const ELZHError& e) {
        EXPECT_THAT(e.what(), testing::StartsWith("LZH stream is damaged: "));
    }
    EXPECT_LT(out.Position(), 10'240u);
}

TEST(LZHUnpack, RefusesALengthAboveTheLimitBeforeDecoding) {
    const Bytes packed = ReadData("lzhuf/e_text_gpl.lzh");
    EXPECT_EQ(Unpack(packed, {}, 53'241).size(), 53'241u);
    TMemoryStream in(packed);
    TCountingStream out;
    EXPECT_THROW(LZHUnpack(in, out, {}, 53'240), ELZHError);
    EXPECT_EQ(out.Position(), 0u);
}

TEST(LZHUnpack, ReportsProgressAfterEveryFlush) {
    std::vector<std::int32_t> reports;
    const auto record = [&](std::int32_t percent) { reports.push_back(percent); };

    const Bytes floppy = Unpack(ReadData("lzhuf/g_floppy_1440k.lzh"), record);
    ASSERT_EQ(floppy.size(), 144u * 10'240);
    // 144 full buffers, then the final flush of nothing.
    ASSERT_EQ(reports.size(), 145u);
    EXPECT_EQ(reports[0], (10'240 + 1) * 100 / (1'474'560 + 1));
    EXPECT_EQ(reports[71], (72 * 10'240 + 1) * 100 / (1'474'560 + 1));
    EXPECT_EQ(reports[143], 100);
    EXPECT_EQ(reports[144], 100);

    reports.clear();
    Unpack(ReadData("lzhuf/a_empty.lzh"), record);
    Unpack(WithHeader(0xFFFFFFFF, {}), record);
    EXPECT_EQ(reports, (std::vector<std::int32_t>{100, 100}));
}

}  // namespace
}  // namespace bootdisk
