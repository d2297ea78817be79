// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/AspiBlock.h"

#include <algorithm>
#include <stdexcept>

#include "base/Bytes.h"
#include "optical/ScsiCommands.h"

namespace bootdisk {

std::string TAspiAddress::Describe() const {
    return "aspi " + std::to_string(adapter) + ":" + std::to_string(target) + ":" + std::to_string(lun);
}

TSrbHaInquiry MakeHaInquiry(std::uint8_t adapter) {
    TSrbHaInquiry block{};
    block[srb::Cmd] = srb::SC_HA_INQUIRY;
    block[srb::HaId] = adapter;
    return block;
}

void PrepareGetDevType(TSrbGetDevType& block, TAspiAddress address) {
    block[srb::Cmd] = srb::SC_GET_DEV_TYPE;
    block[srb::HaId] = address.adapter;
    block[srbdev::Target] = address.target;
    block[srbdev::Lun] = address.lun;
}

TSrbExec MakeExec(const TScsiRequest& request, TAspiAddress address) {
    if (request.cdbLength == 0 || request.cdbLength > request.cdb.size())
        throw std::invalid_argument("SCSI command block of " + std::to_string(request.cdbLength) + " bytes");
    TSrbExec block{};
    block[srb::Cmd] = srb::SC_EXEC_SCSI_CMD;
    block[srb::HaId] = address.adapter;
    block[srbexec::Target] = address.target;
    block[srbexec::Lun] = address.lun;
    const bool transfers = request.direction != TDataDirection::None && request.length != 0;
    block[srb::Flags] = srb::SRB_EVENT_NOTIFY;
    if (transfers) block[srb::Flags] |= request.direction == TDataDirection::In ? srb::SRB_DIR_IN : srb::SRB_DIR_OUT;
    PutLE32(&block[srbexec::BufLen], transfers ? request.length : 0);
    block[srbexec::SenseLen] = srbexec::kSenseLength;
    block[srbexec::CDBLen] = request.cdbLength;
    std::copy_n(request.cdb.begin(), request.cdbLength, block.begin() + srbexec::CDBByte);
    return block;
}

TSrbAbort MakeAbort(std::uint8_t adapter) {
    TSrbAbort block{};
    block[srb::Cmd] = srb::SC_ABORT_SRB;
    block[srb::HaId] = adapter;
    return block;
}

TScsiResult ExecResult(const TSrbExec& block) {
    return MapAspiResult(block[srb::Status], block[srbexec::HaStat], block[srbexec::TargStat]);
}

TSenseBytes ExecSense(const TSrbExec& block) {
    if (block[srbexec::HaStat] != 0 || block[srbexec::TargStat] != kStatusCheckCondition) return {};
    const auto* sense = block.data() + srbexec::SenseArea;
    return TSenseBytes(sense, sense + srbexec::kSenseLength);
}

}  // namespace bootdisk
