// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sim/SimVwin32.h"

#include <algorithm>

#include "base/Bytes.h"

namespace bootdisk {
namespace {

constexpr std::uint32_t kAddressBase = 0x00400000;  // addresses are base + index of the mapping

class TSimVwin32Service : public IVwin32Service {
public:
    explicit TSimVwin32Service(TSimVwin32& owner) : owner_(owner) { ++owner_.openServices; }
    ~TSimVwin32Service() override { --owner_.openServices; }
    TSimVwin32Service(const TSimVwin32Service&) = delete;
    TSimVwin32Service& operator=(const TSimVwin32Service&) = delete;

    std::uint32_t AddressOf(std::span<std::uint8_t> memory) override {
        memory_.push_back(memory);
        return kAddressBase + static_cast<std::uint32_t>(memory_.size() - 1);
    }
    std::uint32_t Control(std::uint32_t service, TVwin32Registers::TBlock& block) override {
        auto r = TVwin32Registers::Decode(block);
        owner_.requests.push_back({service, r});
        if (owner_.config.controlError) {
            memory_.clear();
            return owner_.config.controlError;
        }
        owner_.Serve(service, r, memory_);
        memory_.clear();
        block = r.Encode();
        return 0;
    }

private:
    TSimVwin32& owner_;
    std::vector<std::span<std::uint8_t>> memory_;
};

std::span<std::uint8_t> Resolve(const std::vector<std::span<std::uint8_t>>& memory, std::uint32_t address) {
    const std::uint32_t index = address - kAddressBase;
    return address >= kAddressBase && index < memory.size() ? memory[index] : std::span<std::uint8_t>{};
}

}  // namespace

TSimVwin32::TSimVwin32(TSimVwin32Config c)
    : config(c), disk(std::size_t{c.sectors} * c.bytesPerSector, 0) {}

std::unique_ptr<IVwin32Service> TSimVwin32::Open(std::uint32_t& error) {
    error = config.openError;
    return error ? nullptr : std::make_unique<TSimVwin32Service>(*this);
}

void TSimVwin32::Serve(std::uint32_t service, TVwin32Registers& r,
                       const std::vector<std::span<std::uint8_t>>& memory) {
    const auto fail = [&](std::uint16_t code) {
        r.eax = code;
        r.flags |= vwin32::kCarryFlag;
    };
    r.flags &= ~vwin32::kCarryFlag;
    const std::uint32_t unit = config.driveIndex + 1;
    const bool ioctl = service == vwin32::kDiosIoctl;
    if (config.carryOnFunction && *config.carryOnFunction == (ioctl ? r.ecx & 0xFFFF : service))
        return fail(kDosInvalidFunction);

    if (ioctl) {
        if (r.eax != 0x440D || (r.ebx & 0xFF) != unit) return fail(kDosInvalidDrive);
        switch (r.ecx & 0xFFFF) {
            case 0x0860: {
                auto block = Resolve(memory, r.edx);
                if (block.size() < 32) return fail(kDosInvalidFunction);
                const std::uint32_t tracks = config.sectors / config.sectorsPerTrack;
                PutLE16(block.data() + 4, static_cast<std::uint16_t>(tracks / config.heads));
                PutLE16(block.data() + 7, config.bytesPerSector);
                block[9] = config.sectorsPerCluster;
                PutLE16(block.data() + 20, config.sectorsPerTrack);
                PutLE16(block.data() + 22, config.heads);
                // As DOS does: the 16-bit count when it holds the total, else the 32-bit one.
                if (config.sectors < 0x10000)
                    PutLE16(block.data() + 15, static_cast<std::uint16_t>(config.sectors));
                else
                    PutLE32(block.data() + 28, config.sectors);
                return;
            }
            case 0x084A: ++locks; return;
            case 0x086A:
            case 0x486A: --locks; return;
            default: return fail(kDosInvalidFunction);
        }
    }

    if (service == vwin32::kDiosInt13) return ServeBios(r, memory);
    bool write = false;
    if (service == vwin32::kDiosDriveInfo) {
        if (r.eax != 0x7305 || r.edx != unit) return fail(kDosInvalidDrive);
        write = r.esi == 1;
    } else if (service == vwin32::kDiosRead || service == vwin32::kDiosWrite) {
        if (r.eax != config.driveIndex) return fail(kDosInvalidDrive);
        write = service == vwin32::kDiosWrite;
    } else {
        return fail(kDosInvalidFunction);
    }
    const auto packet = Resolve(memory, r.ebx);
    if (r.ecx != 0xFFFF || packet.size() < 10) return fail(kDosInvalidFunction);
    const std::uint64_t start = GetLE32(packet.data());
    const std::uint64_t count = GetLE16(packet.data() + 4);
    const auto buffer = Resolve(memory, GetLE32(packet.data() + 6));
    const std::uint64_t bytes = count * config.bytesPerSector;
    if (start + count > config.sectors || buffer.size() < bytes) return fail(kDosInvalidFunction);
    const auto at = disk.begin() + static_cast<std::ptrdiff_t>(start * config.bytesPerSector);
    if (!write) {
        std::copy_n(at, bytes, buffer.begin());
        return;
    }
    if (!WriteRun(start, count, buffer)) fail(kDosWriteFault);
}

bool TSimVwin32::WriteRun(std::uint64_t start, std::uint64_t count, std::span<const std::uint8_t> data) {
    if (config.transientWriteFailures > 0) {
        --config.transientWriteFailures;
        return false;
    }
    const auto faultAt = config.failWriteAtSector;
    const bool faulty = faultAt && *faultAt >= start && *faultAt < start + count;
    const std::uint64_t sectors = faulty ? *faultAt - start : count;
    std::copy_n(data.begin(), sectors * config.bytesPerSector,
                disk.begin() + static_cast<std::ptrdiff_t>(start * config.bytesPerSector));
    return !faulty;
}

void TSimVwin32::ServeBios(TVwin32Registers& r, const std::vector<std::span<std::uint8_t>>& memory) {
    const auto fail = [&](std::uint32_t status) {
        r.eax = status;
        r.flags |= vwin32::kCarryFlag;
    };
    const std::uint32_t count = r.eax & 0xFF;
    const std::uint32_t sector = r.ecx & 0xFF;
    const std::uint32_t cylinder = r.ecx >> 8 & 0xFF;
    const std::uint32_t head = r.edx >> 8 & 0xFF;
    if ((r.eax >> 8 & 0xFF) != 3 || (r.edx & 0xFF) != config.driveIndex) return fail(0x0100);
    if (sector == 0 || sector + count - 1 > config.sectorsPerTrack || head >= config.heads) return fail(kBiosWriteFault);
    const std::uint64_t lba = (std::uint64_t{cylinder} * config.heads + head) * config.sectorsPerTrack + sector - 1;
    const auto buffer = Resolve(memory, r.ebx);
    if (lba + count > config.sectors || buffer.size() < std::uint64_t{count} * config.bytesPerSector)
        return fail(kBiosWriteFault);
    if (!WriteRun(lba, count, buffer)) fail(kBiosWriteFault);
}

}  // namespace bootdisk
