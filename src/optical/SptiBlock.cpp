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

// The fields both blocks share.
void PutHeader(std::uint8_t* block, const TScsiRequest& request, std::uint8_t dataIn, std::uint32_t transferLength) {
    PutLE16(block + spti::Length, std::uint16_t(spti::HeaderSize));
    block[spti::CdbLength] = request.cdbLength;
    block[spti::SenseInfoLength] = std::uint8_t(spti::SenseSize);
    block[spti::DataIn] = dataIn;
    PutLE32(block + spti::DataTransferLength, transferLength);
    PutLE32(block + spti::TimeOutValue, request.timeoutSeconds);
    PutLE32(block + spti::SenseInfoOffset, std::uint32_t(spti::SenseOffset));
    std::copy_n(request.cdb.begin(), request.cdbLength, block + spti::Cdb);
}

}  // namespace

bool UsesBufferedBlock(const TScsiRequest& request) {
    return request.direction == TDataDirection::None || request.length == 0 ||
           (request.direction == TDataDirection::In && request.length <= spti::DataSize);
}

TSptiBufferedBlock MakeBufferedBlock(const TScsiRequest& request) {
    CheckCdb(request);
    TSptiBufferedBlock block{};
    PutHeader(block.data(), request, spti::DataInFlag, std::uint32_t(spti::DataSize));
    PutLE32(block.data() + spti::DataBufferOffset, std::uint32_t(spti::DataOffset));
    return block;
}

TSptiDirectBlock MakeDirectBlock(const TScsiRequest& request, std::uint32_t dataBufferAddress) {
    CheckCdb(request);
    TSptiDirectBlock block{};
    const bool in = request.direction == TDataDirection::In;
    PutHeader(block.data(), request, in ? spti::DataInFlag : spti::DataOut, request.length);
    // The drive behind the handle is addressed by the system; WRITE(10) has always carried 1 here.
    block[spti::TargetId] = request.cdb[0] == scsi::kWrite10 ? 1 : 0;
    PutLE32(block.data() + spti::DataBuffer, dataBufferAddress);
    return block;
}

}  // namespace bootdisk
