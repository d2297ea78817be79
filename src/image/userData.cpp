// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/userData.h"

#include <algorithm>

#include "base/Bytes.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "image/LZH.h"
#include "image/PayloadFormat.h"

namespace bootdisk {
namespace {

[[noreturn]] void Damaged(const std::string& why) {
    throw EStreamError("The payload is damaged: " + why);
}

std::string ItemLabel(std::int32_t index) { return "item " + std::to_string(index + 1); }

std::uint8_t ReadByte(TStream& source, const std::string& what) {
    std::uint8_t value = 0;
    if (source.Read(&value, 1) != 1) Damaged(what + " is cut short");
    return value;
}

std::uint32_t ReadLE32(TStream& source, const std::string& what) {
    std::uint8_t bytes[4];
    if (source.Read(bytes, sizeof bytes) != sizeof bytes) Damaged(what + " is cut short");
    return GetLE32(bytes);
}

// Every length is checked against the bytes that follow before anything is allocated for it.
void CheckLength(TStream& source, std::uint64_t length, const std::string& what) {
    if (length > source.Remaining())
        Damaged(what + " of " + std::to_string(length) + " bytes, but only " +
                std::to_string(source.Remaining()) + " follow");
}

void ReadBytes(TStream& source, std::span<std::uint8_t> into) {
    if (!into.empty()) source.ReadBuffer(into.data(), into.size());
}

// The decoded size an LZH stream announces, within what its code bits could ever produce, so the
// list can be reserved once instead of growing.
std::size_t AnnouncedDecodedSize(TStream& source) {
    constexpr std::uint64_t kMostBytesPerCodeByte = 8 * 60;  // a one-bit symbol copies 60 bytes
    const auto start = source.Position();
    std::uint8_t header[4];
    const bool complete = source.Read(header, sizeof header) == sizeof header;
    source.SetPosition(start);
    if (!complete) return 0;
    const auto announced = std::min<std::uint64_t>(GetLE32(header), payload::kMaxDecodedSize);
    return std::size_t(std::min(announced, source.Remaining() * kMostBytesPerCodeByte));
}

// The item list, stored or decoded, as one scratch stream.
TMemoryStream ReadItemList(TStream& source) {
    const auto flag = ReadByte(source, "the container header");
    const auto storedLength = ReadLE32(source, "the container header");
    TMemoryStream list;
    if (flag == payload::kFlagStored) {
        CheckLength(source, storedLength, "the container announces an item list");
        if (storedLength > payload::kMaxDecodedSize)
            Damaged("an item list of " + std::to_string(storedLength) + " bytes is larger than any payload");
        list.SetSize(storedLength);
        ReadBytes(source, list.Bytes());
    } else {
        // The stored length of a compressed container is not used: the stream carries its own.
        list.Reserve(AnnouncedDecodedSize(source));
        try {
            LZHUnpack(source, list, {}, payload::kMaxDecodedSize);
        } catch (const ELZHError& e) {
            Damaged(e.what());
        }
    }
    list.Rewind();
    return list;
}

}  // namespace

void TExeData::LoadFromStream(TStream& source, std::int32_t index) {
    const auto label = ItemLabel(index);
    Kind = ReadByte(source, label);
    const auto nameLength = ReadLE32(source, label);
    CheckLength(source, nameLength, label + " announces a name");
    Name.assign(nameLength, '\0');
    ReadBytes(source, {reinterpret_cast<std::uint8_t*>(Name.data()), Name.size()});
    const auto dataLength = ReadLE32(source, label);
    CheckLength(source, dataLength, label + " announces data");
    Data.Clear();
    Data.SetSize(dataLength);
    ReadBytes(source, Data.Bytes());
    Data.SetPosition(dataLength);
}

void TExeDataBase::LoadFromStream(TStream& source) {
    auto list = ReadItemList(source);
    const auto count = ReadLE32(list, "the item count");
    if (count > list.Remaining() / payload::kMinItemSize)
        Damaged("it announces " + std::to_string(count) + " items in " +
                std::to_string(list.Remaining()) + " bytes");
    // Grown item by item: memory follows the items actually present, not the announced count.
    std::vector<TExeData> items;
    for (std::uint32_t i = 0; i < count; ++i)
        items.emplace_back().LoadFromStream(list, std::int32_t(i));
    items_ = std::move(items);
    count_ = std::int32_t(count);
}

TMemoryStream* TExeDataBase::Find(std::string_view name, std::uint8_t kind) {
    for (auto& item : items_)
        if (item.Kind == kind && SameTextAnsi(item.Name, name)) return &item.Data;
    return nullptr;
}

}  // namespace bootdisk
