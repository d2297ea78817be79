// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The VWIN32 device services of the 9x family: one control request per service call, carrying a
// 28-byte register block in and out.
#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "base/Bytes.h"

namespace bootdisk {

namespace vwin32 {
constexpr std::uint32_t kDiosIoctl = 1;      // INT 21h AX=440Dh
constexpr std::uint32_t kDiosRead = 2;       // INT 25h
constexpr std::uint32_t kDiosWrite = 3;      // INT 26h
constexpr std::uint32_t kDiosInt13 = 4;      // BIOS disk services
constexpr std::uint32_t kDiosDriveInfo = 6;  // INT 21h AX=7305h
constexpr std::uint32_t kCarryFlag = 1;
constexpr std::size_t kRegisterBlockSize = 28;
}  // namespace vwin32

struct TVwin32Registers {
    std::uint32_t ebx = 0, edx = 0, ecx = 0, eax = 0, edi = 0, esi = 0;
    std::uint32_t flags = vwin32::kCarryFlag;

    using TBlock = std::array<std::uint8_t, vwin32::kRegisterBlockSize>;
    TBlock Encode() const {
        TBlock block{};
        const std::uint32_t values[] = {ebx, edx, ecx, eax, edi, esi, flags};
        for (std::size_t i = 0; i < 7; ++i) PutLE32(block.data() + 4 * i, values[i]);
        return block;
    }
    static TVwin32Registers Decode(const TBlock& block) {
        TVwin32Registers r;
        std::uint32_t* fields[] = {&r.ebx, &r.edx, &r.ecx, &r.eax, &r.edi, &r.esi, &r.flags};
        for (std::size_t i = 0; i < 7; ++i) *fields[i] = GetLE32(block.data() + 4 * i);
        return r;
    }
};

// An open VWIN32 device; the destructor closes it.
class IVwin32Service {
public:
    virtual ~IVwin32Service() = default;
    // The 32-bit address by which a register refers to caller memory; valid until Control returns.
    virtual std::uint32_t AddressOf(std::span<std::uint8_t> memory) = 0;
    // The control request itself; the OS error code when it fails, 0 otherwise (the carry flag
    // in the returned block tells the service's own outcome).
    virtual std::uint32_t Control(std::uint32_t service, TVwin32Registers::TBlock& block) = 0;
};

class IVwin32 {
public:
    virtual ~IVwin32() = default;
    virtual std::unique_ptr<IVwin32Service> Open(std::uint32_t& error) = 0;
};

// The host's VWIN32 device; hosts without one answer every Open with an error.
IVwin32& HostVwin32();

}  // namespace bootdisk
