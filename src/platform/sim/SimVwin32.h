// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An emulated VWIN32 device serving one drive held in a byte vector: device parameters, volume
// locks and absolute sector transfers, with faults on demand and a record of every request.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/Vwin32.h"

namespace bootdisk {

struct TSimVwin32Request {
    std::uint32_t service = 0;
    TVwin32Registers registers;  // as sent
};

struct TSimVwin32Config {
    std::uint32_t driveIndex = 0;  // the one drive served, 0 = A:
    std::uint32_t sectors = 2880;
    std::uint16_t bytesPerSector = 512;
    std::uint8_t sectorsPerCluster = 1;
    std::uint16_t sectorsPerTrack = 18;
    std::uint16_t heads = 2;
    std::uint32_t openError = 0;                   // opening the device fails with this code
    std::uint32_t controlError = 0;                // every control request fails with this code
    std::optional<std::uint32_t> carryOnFunction;  // requests with this ECX (IOCTL) or service end with carry
    std::optional<std::uint32_t> failWriteAtSector;
    std::uint32_t transientWriteFailures = 0;  // the next writes end with carry, then they succeed
};

class TSimVwin32 : public IVwin32 {
public:
    static constexpr std::uint16_t kDosInvalidDrive = 0x0F;
    static constexpr std::uint16_t kDosWriteFault = 0x1D;
    static constexpr std::uint16_t kDosInvalidFunction = 0x01;
    static constexpr std::uint16_t kBiosWriteFault = 0x0400;  // AH = 4: sector not found

    explicit TSimVwin32(TSimVwin32Config config = {});

    std::unique_ptr<IVwin32Service> Open(std::uint32_t& error) override;

    TSimVwin32Config config;
    std::vector<std::uint8_t> disk;
    std::vector<TSimVwin32Request> requests;
    int openServices = 0;
    int locks = 0;

private:
    void ServeBios(TVwin32Registers& r, const std::vector<std::span<std::uint8_t>>& memory);
    // Copies a run onto the disk, stopping at a faulty sector; false when it stopped.
    bool WriteRun(std::uint64_t start, std::uint64_t count, std::span<const std::uint8_t> data);

public:
    // Serves one request; memory maps the addresses handed out for it.
    void Serve(std::uint32_t service, TVwin32Registers& r, const std::vector<std::span<std::uint8_t>>& memory);
};

}  // namespace bootdisk
