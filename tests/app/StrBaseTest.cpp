// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StrBase.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#endif

#include "base/Bytes.h"
#include "image/LZH.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

std::vector<std::uint8_t> Pack(const std::vector<std::uint8_t>& decoded) {
    TMemoryStream in(decoded), out;
    LZHPack(in, out);
    return {out.Bytes().begin(), out.Bytes().end()};
}

TStringTable Loaded(const std::vector<std::uint8_t>& decoded) {
    TStringTable table;
    TMemoryStream packed(Pack(decoded));
    LoadStringTable(table, packed);
    return table;
}

std::vector<std::uint8_t> Encoded(bool sorted, std::vector<TValuePair> pairs) {
    return EncodeValueList({sorted, std::move(pairs)});
}

// Decoded bytes with a hand-made header, for counts and lengths the encoder never writes.
std::vector<std::uint8_t> Header(std::uint32_t count) {
    std::vector<std::uint8_t> bytes(kLngPairsOffset);
    bytes[kLngSortedOffset] = 1;
    PutLE32(bytes.data() + kLngCountOffset, count);
    return bytes;
}

void AppendString(std::vector<std::uint8_t>& bytes, std::uint32_t announced, const std::string& s) {
    std::uint8_t length[4];
    PutLE32(length, announced);
    bytes.insert(bytes.end(), length, length + 4);
    bytes.insert(bytes.end(), s.begin(), s.end());
}

bool AllDefaults(const TStringTable& table) {
    const TStringTable defaults;
    bool same = true;
    table.ForEachEntry([&](std::string_view key, const std::string& text) {
        defaults.ForEachEntry([&](std::string_view k, const std::string& d) {
            if (k == key && d != text) same = false;
        });
    });
    return same;
}

TEST(StrBaseLoad, CountZeroLeavesDefaults) {
    EXPECT_TRUE(AllDefaults(Loaded(Encoded(true, {}))));
}

TEST(StrBaseLoad, SortedSinglePairReplacesOnlyThatEntry) {
    const auto table = Loaded(Encoded(true, {{"QUELLMARK_INSTALL.GUI_NEXT", "Weiter"}}));
    EXPECT_EQ(table[StrId::GUI_NEXT], "Weiter");
    EXPECT_EQ(table[StrId::GUI_BACK], "Back");
    EXPECT_EQ(table.AspiError(11), "Write error");
}

TEST(StrBaseLoad, IndexedFamiliesAreLookedUpByComposedKey) {
    const auto table = Loaded(Encoded(true, {{"QUELLMARK_INSTALL.GUI_POPUPHELP(7)", "Info"},
                                             {"QUELLMARK_INSTALL.GUI_TEXTASPIERRORS(11)", "Schreibfehler"}}));
    EXPECT_EQ(table.PopupHelp(7), "Info");
    EXPECT_EQ(table.AspiError(11), "Schreibfehler");
    EXPECT_EQ(table.AspiError(1), "Is not a CD-ROM/CD-RW device");
}

TEST(StrBaseLoad, LowerCaseFileKeyNeverMatches) {
    const auto table = Loaded(Encoded(false, {{"quellmark_install.gui_next", "x"},
                                              {"Quellmark_install.GUI_NEXT", "y"}}));
    EXPECT_EQ(table[StrId::GUI_NEXT], "Next");
}

// The file's Windows-1252 comes into the table as UTF-8.
TEST(StrBaseLoad, UnsortedDuplicateKeyTakesTheLastText) {
    const auto table = Loaded(Encoded(false, {{"QUELLMARK_INSTALL.GUI_NEXT", "first"},
                                              {"QUELLMARK_INSTALL.GUI_BACK", "Zur\xFC" "ck"},
                                              {"QUELLMARK_INSTALL.GUI_NEXT", "second"}}));
    EXPECT_EQ(table[StrId::GUI_NEXT], "second");
    EXPECT_EQ(table[StrId::GUI_BACK], "Zurück");
}

TEST(StrBaseLookup, SortedSearchFindsEveryKeyAndOrdersPrefixesFirst) {
    // Unsigned order: 0xE9 sorts after 'Z'; a prefix sorts before its extensions.
    TValueList list{true, {{"Q.A", "1"}, {"Q.AB", "2"}, {"Q.ABC", "3"}, {"Q.B", "4"}, {"Q.Z", "5"},
                           {"Q.\xC9", "6"}}};
    EXPECT_TRUE(KeyLess("Q.Z", "Q.\xC9"));
    EXPECT_TRUE(KeyLess("Q.A", "Q.AB"));
    for (const auto& pair : list.Items) EXPECT_EQ(list.Lookup("q", pair.Key.substr(2), "-"), pair.Text);
    EXPECT_EQ(list.Lookup("q", "AA", "-"), "-");
    EXPECT_EQ(list.Lookup("q", "", "-"), "-");
    EXPECT_EQ(list.Lookup("q", "C", "-"), "-");
}

TEST(StrBaseLookup, SearchKeyIsUpperCasedAsciiOnly) {
    TValueList list{false, {{"Q.\xE9T\xC9", "ascii only"}}};
    EXPECT_EQ(list.Lookup("q", "\xE9t\xC9", "-"), "ascii only");
}

TEST(StrBaseDecode, LimitsAndTruncationGiveAnEmptyList) {
    EXPECT_TRUE(DecodeValueList(Header(100'001)).Items.empty());
    EXPECT_TRUE(DecodeValueList(Header(0xFFFFFFFF)).Items.empty());  // -1
    // A count at its limit with no pairs behind it must not make room for them.
    EXPECT_TRUE(DecodeValueList(Header(100'000)).Items.empty());
    EXPECT_TRUE(DecodeValueList({}).Items.empty());
    EXPECT_TRUE(DecodeValueList(std::vector<std::uint8_t>{1, 1, 0}).Items.empty());

    const auto withKey = [](std::uint32_t keyLength, std::uint32_t textLength) {
        auto bytes = Header(1);
        AppendString(bytes, keyLength, "QUELLMARK_INSTALL.GUI_NEXT");
        AppendString(bytes, textLength, "Weiter");
        return bytes;
    };
    ASSERT_EQ(DecodeValueList(withKey(26, 6)).Items.size(), 1u);
    EXPECT_TRUE(DecodeValueList(withKey(10'000'001, 6)).Items.empty());
    EXPECT_TRUE(DecodeValueList(withKey(26, 10'000'001)).Items.empty());
    EXPECT_TRUE(DecodeValueList(withKey(26, 0x80000000)).Items.empty());
    // Within the limit but past the end of the bytes.
    EXPECT_TRUE(DecodeValueList(withKey(26, 9'000'000)).Items.empty());
    auto cut = withKey(26, 6);
    cut.pop_back();
    EXPECT_TRUE(DecodeValueList(cut).Items.empty());
}

TEST(StrBaseLoad, DamagedFilesLeaveDefaults) {
    auto big = Header(1);
    AppendString(big, 10'000'001, "QUELLMARK_INSTALL.GUI_NEXT");
    EXPECT_TRUE(AllDefaults(Loaded(big)));

    auto packed = Pack(Encoded(true, {{"QUELLMARK_INSTALL.GUI_NEXT", std::string(3000, 'w')}}));
    const auto load = [](std::vector<std::uint8_t> bytes) {
        TStringTable table;
        TMemoryStream stream(std::move(bytes));
        LoadStringTable(table, stream);
        return table;
    };
    auto truncated = packed;
    truncated.resize(truncated.size() / 2);
    EXPECT_TRUE(AllDefaults(load(truncated)));
    auto huge = packed;
    PutLE32(huge.data(), 0x7FFFFFF0);  // announces far more than a language file holds
    EXPECT_TRUE(AllDefaults(load(huge)));
    EXPECT_TRUE(AllDefaults(load({})));
}

TEST(StrBaseLoad, AFileCutShortIsRejectedWholeAndSaysWhy) {
    std::vector<TValuePair> pairs;
    for (const char* key : {"GENERIC_CANCEL", "GENERIC_OK", "GUI_BACK", "GUI_NEXT"})
        pairs.push_back({FileKey(key), std::string("Translated ") + key});
    const auto packed = Pack(Encoded(true, pairs));
    TStringTable whole;
    TMemoryStream wholeStream(packed);
    ASSERT_EQ(LoadStringTable(whole, wholeStream), "");
    ASSERT_EQ(whole[StrId::GUI_NEXT], "Translated GUI_NEXT");
    for (std::size_t cut = 1; cut <= 32; ++cut) {
        SCOPED_TRACE(cut);
        TStringTable table;
        TMemoryStream stream(std::vector<std::uint8_t>(packed.begin(), packed.end() - std::ptrdiff_t(cut)));
        EXPECT_NE(LoadStringTable(table, stream), "");
        EXPECT_TRUE(AllDefaults(table));
    }
}

#ifndef _WIN32
TEST(StrBaseLoad, AFifoIsRefusedWithoutWaitingForAWriter) {
    test::TTempDir dir;
    const auto path = dir / "quellmark.lng";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    // Should the load wait on the FIFO, a writer comes along and releases it, so the test fails
    // instead of hanging.
    std::atomic<bool> released = false;
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            released = true;
            ::close(fd);
        }
    });
    TStringTable table;
    try {
        LoadStringTable(table, path);
        ADD_FAILURE() << "a FIFO was taken as the language file";
    } catch (const ELanguageFileError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open the language file " + path + ": not a regular file");
    }
    writer.join();
    EXPECT_FALSE(released);
}
#endif

TEST(StrBaseLoad, MissingFileStopsWithTheReason) {
    test::TTempDir dir;
    TStringTable table;
    const auto path = dir / "quellmark.lng";
    try {
        LoadStringTable(table, path);
        FAIL() << "no error for a missing language file";
    } catch (const ELanguageFileError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open the language file " + path + ": No such file or directory");
    }
}

}  // namespace
}  // namespace bootdisk
