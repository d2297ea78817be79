// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/Payloads.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "base/Bytes.h"
#include "base/Errors.h"
#include "image/LZH.h"
#include "image/PayloadFormat.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::HasSubstr;

void AppendLE32(Bytes& out, std::uint32_t value) {
    std::uint8_t field[4];
    PutLE32(field, value);
    out.insert(out.end(), field, field + 4);
}

struct TItem {
    std::uint8_t Kind;
    std::string Name;
    std::string Data;
};

Bytes ItemList(const std::vector<TItem>& items) {
    Bytes list;
    AppendLE32(list, std::uint32_t(items.size()));
    for (const auto& item : items) {
        list.push_back(item.Kind);
        AppendLE32(list, std::uint32_t(item.Name.size()));
        list.insert(list.end(), item.Name.begin(), item.Name.end());
        AppendLE32(list, std::uint32_t(item.Data.size()));
        list.insert(list.end(), item.Data.begin(), item.Data.end());
    }
    return list;
}

Bytes Header(std::uint8_t flag, std::uint32_t storedLength) {
    Bytes header{flag};
    AppendLE32(header, storedLength);
    return header;
}

Bytes Stored(const Bytes& list) {
    auto container = Header(payload::kFlagStored, std::uint32_t(list.size()));
    container.insert(container.end(), list.begin(), list.end());
    return container;
}

Bytes Compressed(const Bytes& list, std::uint8_t flag = payload::kFlagLZH,
                 std::uint32_t storedLength = 0) {
    TMemoryStream in(list), out(Header(flag, storedLength));
    out.SetPosition(out.Size());
    LZHPack(in, out);
    auto bytes = out.Bytes();
    return {bytes.begin(), bytes.end()};
}

TExeDataBase Load(const Bytes& container) {
    TMemoryStream source(container);
    TExeDataBase collection;
    collection.LoadFromStream(source);
    return collection;
}

std::string Content(TSpanStream* stream) {
    if (!stream) return "<none>";
    auto bytes = stream->Bytes();
    return {bytes.begin(), bytes.end()};
}

const std::vector<TItem> kSample = {
    {1, ".BOOT", "boot image"},
    {0, "AUTOEXEC.BAT", "kind 0"},
    {1, "AUTOEXEC.BAT", "kind 1"},
    {1, "Korvane\\DATA\\KORVANE.INI", "first"},
    {1, "korvane\\data\\korvane.ini", "second"},
    {1, "EMPTY.TXT", ""},
};

TEST(PayloadFind, MatchesNameIgnoringCaseAndKindExactly) {
    auto collection = Load(Stored(ItemList(kSample)));
    ASSERT_EQ(collection.Count(), 6);
    EXPECT_EQ(Content(collection.Find(".Boot", 1)), "boot image");
    EXPECT_EQ(Content(collection.Find("autoexec.bat", 1)), "kind 1");
    EXPECT_EQ(Content(collection.Find("AUTOEXEC.BAT", 0)), "kind 0");
    EXPECT_EQ(collection.Find(".BOOT", 0), nullptr);
    EXPECT_EQ(collection.Find(".BOOT", 2), nullptr);
    EXPECT_EQ(collection.Find("BOOT", 1), nullptr);
    EXPECT_EQ(Content(collection.Find("KORVANE\\DATA\\KORVANE.INI", 1)), "first");
    EXPECT_EQ(Content(collection.Find("EMPTY.TXT", 1)), "");
}

TEST(PayloadLoad, KeepsContainerOrderWithStreamsAtTheirEnd) {
    auto collection = Load(Compressed(ItemList(kSample)));
    ASSERT_EQ(collection.Items().size(), kSample.size());
    for (std::size_t i = 0; i < kSample.size(); ++i) {
        const auto& item = collection.Items()[i];
        EXPECT_EQ(item.Kind, kSample[i].Kind);
        EXPECT_EQ(item.Name, kSample[i].Name);
        EXPECT_EQ(item.Data.Size(), kSample[i].Data.size());
        EXPECT_EQ(item.Data.Position(), item.Data.Size());
    }
}

TEST(PayloadLoad, StoredListIsExactlyTheStoredLength) {
    const auto list = ItemList({{1, "A.TXT", "a"}});
    auto container = Stored(list);
    container.insert(container.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    TMemoryStream source(container);
    TExeDataBase collection;
    collection.LoadFromStream(source);
    EXPECT_EQ(collection.Count(), 1);
    EXPECT_EQ(source.Position(), payload::kHeaderSize + list.size());

    // An item lying beyond the stored length is not read, even though its bytes follow.
    const auto two = ItemList({{1, "A.TXT", "a"}, {1, "B.TXT", "b"}});
    auto cut = Header(payload::kFlagStored, std::uint32_t(two.size() - 1));
    cut.insert(cut.end(), two.begin(), two.end());
    EXPECT_THROW(Load(cut), EStreamError);
}

TEST(PayloadLoad, CompressedListIgnoresTheStoredLengthField) {
    const auto list = ItemList(kSample);
    for (std::uint32_t storedLength : {0u, 1u, 0xFFFFFFFFu}) {
        EXPECT_EQ(Load(Compressed(list, payload::kFlagLZH, storedLength)).Count(), 6);
    }
    EXPECT_EQ(Load(Compressed(list, 0x80, std::uint32_t(list.size()))).Count(), 6);
}

TEST(PayloadLoad, EmptyListGivesAnEmptyCollection) {
    for (const auto& container : {Stored(ItemList({})), Compressed(ItemList({}))}) {
        auto collection = Load(container);
        EXPECT_EQ(collection.Count(), 0);
        EXPECT_TRUE(collection.Items().empty());
        EXPECT_EQ(collection.Find(".BOOT", 1), nullptr);
        EXPECT_EQ(collection.Find("", 0), nullptr);
    }
}

// Damaged containers that announce more than follows: each is a clear error, found before
// anything of the announced size is allocated.
struct TDamage {
    const char* Case;
    Bytes Container;
    const char* Says;
};

Bytes WithLE32(Bytes bytes, std::size_t offset, std::uint32_t value) {
    PutLE32(bytes.data() + offset, value);
    return bytes;
}

std::vector<TDamage> DamagedContainers() {
    const auto list = ItemList({{1, "A.TXT", "abc"}, {1, "B.TXT", "de"}});
    const std::size_t nameLength = 4 + 1, dataLength = nameLength + 4 + 5;
    auto truncatedLzh = Compressed(ItemList({{1, "BIG.BIN", std::string(50'000, 'x')}}));
    truncatedLzh.resize(payload::kHeaderSize + 4 + 20);
    auto hugeLzh = Header(payload::kFlagLZH, 0);
    AppendLE32(hugeLzh, 0x40000000);
    hugeLzh.insert(hugeLzh.end(), 100, 0x55);
    return {
        {"header cut short", {0, 1, 0}, "header is cut short"},
        {"stored length beyond the source", Header(0, 0xFFFFFFF0), "0 follow"},
        {"count huge", Stored(WithLE32(list, 0, 0xFFFFFFFF)), "4294967295 items"},
        {"count one too many", Stored(WithLE32(list, 0, 3)), "item 3 is cut short"},
        {"name length huge", Stored(WithLE32(list, nameLength, 0xFFFFFFFF)),
         "item 1 announces a name of 4294967295 bytes"},
        {"data length huge", Stored(WithLE32(list, dataLength, 0x7FFFFFFF)),
         "item 1 announces data of 2147483647 bytes"},
        {"second item cut short", Stored(Bytes(list.begin(), list.end() - 8)), "item 2"},
        {"LZH stream cut short", truncatedLzh, "damaged"},
        {"LZH stream announces a gigabyte", hugeLzh, "damaged"},
    };
}

TEST(PayloadDamage, EveryOverlongAnnouncementIsAClearError) {
    for (const auto& damage : DamagedContainers()) {
        SCOPED_TRACE(damage.Case);
        auto collection = Load(Stored(ItemList({{1, "KEEP.TXT", "kept"}})));
        TMemoryStream source(damage.Container);
        try {
            collection.LoadFromStream(source);
            ADD_FAILURE() << "loaded";
        } catch (const EStreamError& e) {
            EXPECT_THAT(e.what(), HasSubstr("The payload is damaged: "));
            EXPECT_THAT(e.what(), HasSubstr(damage.Says));
        }
        EXPECT_EQ(Content(collection.Find("KEEP.TXT", 1)), "kept");
    }
}

// Zero bits read past a cut decode to long matches, so a stream a few bytes short still reaches
// its announced length: only the bits it consumed tell it is incomplete.
TEST(PayloadDamage, EveryCutOfTheLastBytesIsDamaged) {
    std::mt19937 random(11);
    std::string binary(3000, '\0');
    for (auto& c : binary) c = char(random() % 7 == 0 ? random() : 0);
    std::string text;
    while (text.size() < 5000) text += "Line " + std::to_string(random() % 1000) + " of the sanitizer's notes.\r\n";
    const auto container = Compressed(ItemList({{1, ".BOOT", binary}, {1, "Korvane\\README.TXT", text}}));
    ASSERT_EQ(Content(Load(container).Find("Korvane\\README.TXT", 1)), text);
    for (std::size_t cut = 1; cut <= 32; ++cut) {
        SCOPED_TRACE(cut);
        EXPECT_THROW(Load(Bytes(container.begin(), container.end() - std::ptrdiff_t(cut))), EStreamError);
    }
}

TEST(PayloadDamage, RandomCodeBitsNeverCrash) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        auto container = Header(payload::kFlagLZH, 0);
        AppendLE32(container, std::uint32_t(random() % 5000));
        for (int i = 0; i < 300; ++i) container.push_back(std::uint8_t(random()));
        TMemoryStream source(container);
        TExeDataBase collection;
        try {
            collection.LoadFromStream(source);
        } catch (const EStreamError&) {
        }
    }
}

class TFakeResources : public IResourceStore {
public:
    std::optional<std::span<const std::uint8_t>> Find(std::string_view name) const override {
        const auto found = resources.find(std::string(name));
        if (found == resources.end()) return std::nullopt;
        return std::span<const std::uint8_t>(found->second);
    }
    std::map<std::string, Bytes> resources;
};

TEST(PayloadResources, LoadsBothCollectionsFromTheirResources) {
    TFakeResources store;
    store.resources["SANITCD"] = Compressed(ItemList({{1, ".BOOT", "cd"}}));
    store.resources["SANITDSK"] = Compressed(ItemList({{1, ".BOOT", "floppy"}}));
    TPayloads payloads;
    ASSERT_TRUE(LoadCdPayload(payloads, store)) << payloads.LastError;
    ASSERT_TRUE(LoadFloppyPayload(payloads, store)) << payloads.LastError;
    EXPECT_EQ(Content(payloads.Cd().Find(".BOOT", 1)), "cd");
    EXPECT_EQ(Content(payloads.Floppy().Find(".BOOT", 1)), "floppy");

    EXPECT_FALSE(payloads.Shared());

    // Identical resources share one decode.
    store.resources["SANITDSK"] = store.resources["SANITCD"];
    ASSERT_TRUE(LoadFloppyPayload(payloads, store));
    EXPECT_TRUE(payloads.Shared());
    EXPECT_EQ(Content(payloads.Floppy().Find(".BOOT", 1)), "cd");
}

TEST(PayloadResources, MissingOrDamagedResourceGivesFalseWithAReason) {
    TFakeResources store;
    TPayloads payloads;
    EXPECT_FALSE(LoadCdPayload(payloads, store));
    EXPECT_THAT(payloads.LastError, HasSubstr("SANITCD"));
    EXPECT_EQ(payloads.Cd().Count(), 0);

    store.resources["SANITCD"] = Stored(ItemList({{1, "A.TXT", "a"}}));
    EXPECT_FALSE(LoadFloppyPayload(payloads, store));
    EXPECT_THAT(payloads.LastError, HasSubstr("SANITDSK"));

    store.resources["SANITDSK"] = Header(0, 1000);
    EXPECT_TRUE(LoadCdPayload(payloads, store));
    EXPECT_FALSE(LoadFloppyPayload(payloads, store));
    EXPECT_THAT(payloads.LastError, HasSubstr("The payload is damaged"));
}

TEST(PayloadFile, FillsBothCollectionsFromOneFile) {
    test::TTempDir dir;
    test::WriteFile(dir / "demo.pak", Compressed(ItemList(kSample)));
    TPayloads payloads;
    ASSERT_TRUE(LoadPayloadFile(payloads, dir / "demo.pak")) << payloads.LastError;
    EXPECT_EQ(payloads.Cd().Count(), 6);
    EXPECT_EQ(Content(payloads.Floppy().Find(".BOOT", 1)), "boot image");

    EXPECT_FALSE(LoadPayloadFile(payloads, dir / "missing.pak"));
    EXPECT_THAT(payloads.LastError, HasSubstr("missing.pak"));
    EXPECT_EQ(payloads.Floppy().Count(), 0);
}

}  // namespace
}  // namespace bootdisk
