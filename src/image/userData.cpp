// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/userData.h"

#include <algorithm>
#include <utility>

#include "base/Bytes.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "image/LZH.h"
#include "image/PayloadFormat.h"
#include "platform/LargeBuffer.h"

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

// The item list, stored or decoded, in a buffer of its own: the bytes it holds and their count.
std::pair<TLargeBuffer, std::size_t> ReadItemList(TStream& source) {
    const auto flag = ReadByte(source, "the container header");
    const auto storedLength = ReadLE32(source, "the container header");
    if (flag == payload::kFlagStored) {
        CheckLength(source, storedLength, "the container announces an item list");
        if (storedLength > payload::kMaxDecodedSize)
            Damaged("an item list of " + std::to_string(storedLength) + " bytes is larger than any payload");
        TLargeBuffer list(storedLength);
        ReadBytes(source, list.Bytes());
        return {std::move(list), storedLength};
    }
    // The stored length of a compressed container is not used: the stream carries its own.
    TLargeBuffer list(LZHOutputRoom(source, payload::kMaxDecodedSize));
    TBufferStream decoded(list.Bytes());
    try {
        LZHUnpack(source, decoded, {}, payload::kMaxDecodedSize);
    } catch (const ELZHError& e) {
        Damaged(e.what());
    }
    return {std::move(list), std::size_t(decoded.Size())};
}

}  // namespace

void TExeData::LoadFromList(TSpanStream& list, std::int32_t index) {
    const auto label = ItemLabel(index);
    Kind = ReadByte(list, label);
    const auto nameLength = ReadLE32(list, label);
    CheckLength(list, nameLength, label + " announces a name");
    Name.assign(nameLength, '\0');
    ReadBytes(list, {reinterpret_cast<std::uint8_t*>(Name.data()), Name.size()});
    const auto dataLength = ReadLE32(list, label);
    CheckLength(list, dataLength, label + " announces data");
    const auto start = std::size_t(list.Position());
    Data = TSpanStream(list.Bytes().subspan(start, dataLength));
    Data.SetPosition(dataLength);
    list.SetPosition(start + dataLength);
}

void TExeDataBase::LoadFromStream(TStream& source) {
    auto [bytes, length] = ReadItemList(source);
    TSpanStream list(bytes.Bytes().first(length));
    const auto count = ReadLE32(list, "the item count");
    if (count > list.Remaining() / payload::kMinItemSize)
        Damaged("it announces " + std::to_string(count) + " items in " +
                std::to_string(list.Remaining()) + " bytes");
    // Grown item by item: memory follows the items actually present, not the announced count.
    std::vector<TExeData> items;
    for (std::uint32_t i = 0; i < count; ++i)
        items.emplace_back().LoadFromList(list, std::int32_t(i));
    // Moving the list keeps its bytes where the items see them.
    list_ = std::move(bytes);
    items_ = std::move(items);
    count_ = std::int32_t(count);
}

TSpanStream* TExeDataBase::Find(std::string_view name, std::uint8_t kind) {
    for (auto& item : items_)
        if (item.Kind == kind && SameTextAnsi(item.Name, name)) return &item.Data;
    return nullptr;
}

}  // namespace bootdisk
