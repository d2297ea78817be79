// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/FloppyInstall.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "base/Text.h"
#include "disk/Disk.h"
#include "image/Fat12Format.h"
#include "platform/HostDrives.h"

namespace bootdisk {
namespace {

constexpr std::uint32_t kPlatform9x = 1;
constexpr std::size_t kBufferSize = 200'000;
// The NT family writes 288 sectors at once; the 9x family one 1.44 MB track, as its BIOS does.
constexpr std::size_t kChunkNT = 147'456;
constexpr std::size_t kChunk9x = 9'216;
static_assert(kChunkNT <= kBufferSize && kChunkNT % fat12::kSectorSize == 0 && kChunk9x % fat12::kSectorSize == 0);

StrId MsDosMessage(std::uint8_t result) {
    switch (result) {
        case 1: return StrId::FLOPPYINSTALL_MSDOSFLOPPYERROR;
        case 2: return StrId::GUI_MSDOSNOSYS;
        default: return StrId::FLOPPYINSTALL_MSDOSUNSUPPORTEDOS;
    }
}

}  // namespace

TFloppyInstall::TFloppyInstall(TFloppyInstallPorts ports)
    : ports_(std::move(ports)),
      dirDisk_({ports_.host.Version(), ports_.devices, ports_.vwin32, nullptr}),
      windowsFolder_(ports_.host.WindowsDirectory()) {
    dirDisk_.NeedDiskLock = ports_.host.Version().platformId == kPlatformNT;
}

bool TFloppyInstall::InstallBoot(char Drive, bool UseMsDos) {
    try {
        Progress(0.0);
        gaveUp_ = false;
        dirDisk_.SetDriveName(Drive);
        if (!UseMsDos) return WriteBootImage(Drive);
        const std::uint8_t result = TMsDosBootFloppyCreator(*this).Run(Drive, OnFloppyProgress);
        if (result != 0) {
            ports_.dialogs.ShowCoolMessage(ports_.texts[MsDosMessage(result)]);
            gaveUp_ = result != 1;
            return false;
        }
        Progress(1.0);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TFloppyInstall::WriteBootImage(char Drive) {
    TSpanStream* image = ports_.payload.Find(".Boot", 1);
    // An image larger than the floppy would be cut off: not a boot disk.
    if (!image || image->Size() > fat12::kImageSize) return false;
    image->Rewind();
    const std::size_t chunkSize = ports_.host.Version().platformId == kPlatform9x ? kChunk9x : kChunkNT;
    std::vector<std::uint8_t> buffer(kBufferSize);
    const std::uint64_t size = image->Size();
    std::uint64_t position = 0;
    while (image->Position() < size) {
        const std::size_t n = image->Read(buffer.data(), chunkSize);
        if (n == 0) return false;
        // A last piece of a sector is written as a whole sector, padded with zeros.
        const std::size_t whole = (n + fat12::kSectorSize - 1) / fat12::kSectorSize * fat12::kSectorSize;
        std::fill(buffer.begin() + std::ptrdiff_t(n), buffer.begin() + std::ptrdiff_t(whole), std::uint8_t(0));
        if (!WriteChunk(Drive, {buffer.data(), whole}, position)) return false;
        position += n;
        Progress(double(position) / double(size + 1));
    }
    Progress(1.0);
    return true;
}

bool TFloppyInstall::WriteChunk(char Drive, std::span<const std::uint8_t> chunk, std::uint64_t position) {
    const auto sectors = std::uint32_t(chunk.size() / fat12::kSectorSize);
    const auto first = std::uint32_t(position / fat12::kSectorSize);
    for (;;) {
        dirDisk_.SetSectors(sectors);
        dirDisk_.SetFirstSector(first);
        // A run the writer's rules turned down would land elsewhere: it is not written at all.
        if (dirDisk_.Sectors() != sectors || dirDisk_.FirstSector() != first) return false;
        if (dirDisk_.WriteSectors(Drive, chunk, kMedia144)) return true;
        const std::string drive = std::string(1, Drive) + ":";
        const std::string text = dirDisk_.VolumeInUse()
                                     ? DeviceLead(drive) + ports_.texts[StrId::DISK_VOLUMEINUSE]
                                     : ports_.texts[StrId::FLOPPYINSTALL_TEXTWRITEERROR] + " " + drive;
        if (ports_.dialogs.AskRetryAbort(text) == kAnswerAbort) {
            gaveUp_ = true;
            return false;
        }
        dirDisk_.SetDriveName(Drive);
    }
}

bool TFloppyInstall::CopyPayloadFiles() {
    try {
        std::vector<const TExeData*> items;
        std::uint64_t total = 0;
        for (const auto& item : ports_.payload.Items()) {
            if (item.Kind != 1 || item.Name.starts_with(".")) continue;
            if (!StaysBelowRoot(item.Name)) {
                ports_.dialogs.ShowCoolMessage(ports_.texts[StrId::GUI_TEXTBADPAYLOADNAME] + Cp1252ToUtf8(item.Name));
                return false;
            }
            items.push_back(&item);
            total += item.Data.Size();
        }
        Progress(0.0);
        std::uint64_t done = 0;
        for (const auto* item : items) {
            const auto split = item->Name.rfind('\\');
            if (split != std::string::npos && !ports_.files.MakeFolder(item->Name.substr(0, split))) return false;
            TSpanStream source(item->Data.Bytes());
            if (!ports_.files.CreateFile(item->Name, source)) return false;
            done += item->Data.Size();
            Progress(double(done) / double(total + 1));
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace bootdisk
