// SPDX-License-Identifier: GPL-3.0-or-later
// The MS-DOS system floppy by the host's own means: its `format`, its system files, or the
// startup-disk image of its "DiskCopy.dll".
#include <algorithm>
#include <cctype>
#include <span>
#include <stdexcept>
#include <string_view>

#include "disk/Disk.h"
#include "disk/FloppyInstall.h"

namespace bootdisk {
namespace {

constexpr std::size_t kSmallestSystemImage = 1'400'000;
constexpr std::size_t kSystemImageChunk = 9'216;
constexpr std::string_view kMsDosSys = "BootGui=0\r\n";
// The Me route formats without the system and copies it after: the format's fractions are
// scaled so that the three copies take the rest of the way.
constexpr double kMeScale = 1.2;

// NT 3.51, NT 4.0 and 2000 have no way to make an MS-DOS floppy.
bool WithoutMsDos(TWinVersion version) {
    return version == TWinVersion{2, 3, 51} || version == TWinVersion{2, 4, 0} || version == TWinVersion{2, 5, 0};
}

}  // namespace

std::uint8_t TMsDosBootFloppyCreator::Run(char Drive, const TFloppyProgress& Progress) {
    Progress_ = Progress;
    const TWinVersion version = install_.Ports().host.Version();
    if (WithoutMsDos(version)) return 3;
    switch (ClassifyWindows(version)) {
        case TWindowsRelease::Win95:
        case TWindowsRelease::Win98:
            return RunFormatWithSystem(Drive);
        case TWindowsRelease::WinMe:
            return RunMe(Drive);
        case TWindowsRelease::WinXP:
        case TWindowsRelease::Win2003:
            switch (install_.WriteSystemImage(Drive, Progress_)) {
                case 0: return 0;
                case 1: return 2;
                default: return 1;
            }
        case TWindowsRelease::Other:
            break;
    }
    switch (install_.WriteSystemImage(Drive, Progress_)) {
        case 0: return 0;
        case 1: return RunFormatWithSystem(Drive);
        default: return 1;
    }
}

// A format that found bad sectors (2) does not make a boot disk either.
std::uint8_t TMsDosBootFloppyCreator::RunFormatWithSystem(char Drive) {
    const auto direct = [this](const std::string&, double fraction) { Report(fraction); };
    return RunFormat(Drive, true, direct, install_.Ports().formatHost) == 3 ? 0 : 1;
}

std::uint8_t TMsDosBootFloppyCreator::RunMe(char Drive) {
    const auto scaled = [this](const std::string&, double fraction) { Report(fraction / kMeScale); };
    if (RunFormat(Drive, false, scaled, install_.Ports().formatHost) != 3) return 1;
    const auto& ports = install_.Ports();
    const std::string ebd = install_.WindowsFolder() + "\\Command\\Ebd\\";
    try {
        const auto copy = [&](const std::string& source, const std::string& target, double step) {
            const auto stream = ports.host.OpenRead(ebd + source);
            if (!ports.files.CreateFile(target, *stream)) throw std::runtime_error("cannot write " + target);
            Report(step / kMeScale);
        };
        copy("io.sys", "io.sys", 1.08);
        copy("Command.com", "Command.com", 1.15);
        TSpanStream msDosSys(std::span(reinterpret_cast<const std::uint8_t*>(kMsDosSys.data()), kMsDosSys.size()));
        if (!ports.files.CreateFile("MsDos.sys", msDosSys)) return 2;
        Report(1.0);
        return 0;
    } catch (const std::exception&) {
        return 2;
    }
}

std::uint8_t TFloppyInstall::WriteSystemImage(char Drive, const TFloppyProgress& Progress) {
    const auto image = ports_.host.LibraryResource("DiskCopy.dll", "#1", "BINFILE");
    if (!image || image->size() < kSmallestSystemImage) return 1;
    Drive = char(std::toupper(static_cast<unsigned char>(Drive)));
    if (Drive != 'A' && Drive != 'B') return 2;
    std::uint32_t error = 0;
    const auto device = ports_.devices.Open(Drive, TDeviceAccess::ReadWrite, error);
    if (!device) return 2;
    // As for the ready-made image: the volume locked and dismounted for the raw write.
    if (ports_.host.Version().platformId == kPlatformNT && (device->Lock() != 0 || device->Dismount() != 0))
        return 2;
    for (std::size_t done = 0; done < image->size();) {
        const std::size_t n = std::min(kSystemImageChunk, image->size() - done);
        if (device->Seek(done) != 0) return 2;
        const TTransfer written = device->Write(std::span(*image).subspan(done, n));
        if (written.error != 0 || written.moved != n) return 2;
        done += n;
        if (Progress) Progress(double(done) / double(image->size()));
    }
    // Every byte is on the disk before the image counts as written.
    return device->Flush() == 0 ? 0 : 2;
}

}  // namespace bootdisk
