// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/SptiBlock.h"

#include <algorithm>
#include <stdexcept>

#include "base/Bytes.h"
#include "optical/ScsiCommands.h"

namespace bootdisk {
namespace {

void CheckCdb(const TScsiRequest& request) {
    if (request.cdbLength == 0 || request.cdbLength > request.cdb.size())
        throw std::invalid_argument("SCSI command block of " + std::to_string(request.cdbLength) + " bytes");
}

// The pointer-sized field, little-endian in either width.
void PutPointerField(std::uint8_t* block, const TSptiLayout& layout, std::uint64_t value) {
    if (layout.pointerSize == 4 && value > 0xFFFFFFFFu)
        throw std::invalid_argument("a 64-bit buffer address in the 32-bit pass-through block");
    PutLE32(block + layout.dataBuffer, std::uint32_t(value));
    if (layout.pointerSize == 8) PutLE32(block + layout.dataBuffer + 4, std::uint32_t(value >> 32));
}

// The fields both blocks share.
TSptiBlock MakeBlock(std::size_t size, const TScsiRequest& request, const TSptiLayout& layout, std::uint8_t dataIn,
                     std::uint32_t transferLength) {
    CheckCdb(request);
    TSptiBlock block(size);
    PutLE16(&block[spti::Length], std::uint16_t(layout.headerSize));
    block[spti::CdbLength] = request.cdbLength;
    block[spti::SenseInfoLength] = std::uint8_t(spti::SenseSize);
    block[spti::DataIn] = dataIn;
    PutLE32(&block[spti::DataTransferLength], transferLength);
    PutLE32(&block[spti::TimeOutValue], request.timeoutSeconds);
    PutLE32(&block[layout.senseInfoOffset], std::uint32_t(layout.SenseOffset()));
    std::copy_n(request.cdb.begin(), request.cdbLength, &block[layout.cdb]);
    return block;
}

}  // namespace

bool UsesBufferedBlock(const TScsiRequest& request) {
    return request.direction == TDataDirection::None || request.length == 0 ||
           (request.direction == TDataDirection::In && request.length <= spti::DataSize);
}

TSptiBlock MakeBufferedBlock(const TScsiRequest& request, const TSptiLayout& layout) {
    auto block = MakeBlock(layout.BufferedSize(), request, layout, spti::DataInFlag, std::uint32_t(spti::DataSize));
    PutPointerField(block.data(), layout, layout.DataOffset());
    return block;
}

TSptiBlock MakeDirectBlock(const TScsiRequest& request, std::uint64_t dataBufferAddress, const TSptiLayout& layout) {
    const bool in = request.direction == TDataDirection::In;
    auto block = MakeBlock(layout.DirectSize(), request, layout, in ? spti::DataInFlag : spti::DataOut, request.length);
    // The drive behind the handle is addressed by the system; WRITE(10) has always carried 1 here.
    block[spti::TargetId] = request.cdb[0] == scsi::kWrite10 ? 1 : 0;
    PutPointerField(block.data(), layout, dataBufferAddress);
    return block;
}

TScsiReply SptiReply(const TSptiBlock& block, const TSptiLayout& layout) {
    TScsiReply reply{true, block[spti::ScsiStatus]};
    reply.transferred = GetLE32(&block[spti::DataTransferLength]);
    if (reply.status != kStatusCheckCondition) return reply;
    const auto length = std::min<std::size_t>(block[spti::SenseInfoLength], spti::SenseSize);
    const auto* sense = block.data() + layout.SenseOffset();
    reply.sense.assign(sense, sense + length);
    return reply;
}

}  // namespace bootdisk
