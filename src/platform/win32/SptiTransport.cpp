// SCSI commands to a Windows optical drive through IOCTL_SCSI_PASS_THROUGH(_DIRECT) on \\.\X:,
// and the drive-letter scan.
#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>

#include <algorithm>
#include <cstddef>
#include <cctype>
#include <cstring>
#include <stdexcept>

#include "optical/Optical_devices.h"
#include "optical/ScsiCommands.h"
#include "optical/SptiBlock.h"
#include "platform/Host.h"
#include "platform/HostSystem.h"

namespace bootdisk {
namespace {

// The blocks built as bytes match the system's own structures in this build's pointer width.
static_assert(offsetof(SCSI_PASS_THROUGH, DataBufferOffset) == kSptiHostLayout.dataBuffer &&
              offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) == kSptiHostLayout.dataBuffer &&
              offsetof(SCSI_PASS_THROUGH, SenseInfoOffset) == kSptiHostLayout.senseInfoOffset &&
              offsetof(SCSI_PASS_THROUGH, Cdb) == kSptiHostLayout.cdb &&
              sizeof(SCSI_PASS_THROUGH) == kSptiHostLayout.headerSize &&
              sizeof(SCSI_PASS_THROUGH_DIRECT) == kSptiHostLayout.headerSize);

std::string DevicePath(const std::string& name) { return "\\\\.\\" + name; }

static_assert(IOCTL_STORAGE_MEDIA_REMOVAL == 0x002D4804 && IOCTL_STORAGE_EJECT_MEDIA == 0x002D4808);
constexpr DWORD kPlatformNt = 2;

class TSptiTransport : public TStatusTransport {
public:
    TSptiTransport(std::string name, HANDLE handle) : name_(std::move(name)), handle_(handle) {}
    ~TSptiTransport() override { CloseHandle(handle_); }
    TSptiTransport(const TSptiTransport&) = delete;
    TSptiTransport& operator=(const TSptiTransport&) = delete;

    TScsiReply Deliver(const TScsiRequest& request) override {
        reason_.clear();
        DWORD returned = 0;
        if (UsesBufferedBlock(request)) {
            auto block = MakeBufferedBlock(request);
            if (!DeviceIoControl(handle_, kIoctlScsiPassThrough, block.data(), DWORD(kSptiHostLayout.headerSize), block.data(),
                                 DWORD(block.size()), &returned, nullptr))
                return Undelivered();
            if (request.direction == TDataDirection::In && request.data != nullptr)
                std::copy_n(block.begin() + kSptiHostLayout.DataOffset(), request.length, request.data);
            return SptiReply(block);
        }
        auto block = MakeDirectBlock(request, reinterpret_cast<std::uintptr_t>(request.data));
        if (!DeviceIoControl(handle_, kIoctlScsiPassThroughDirect, block.data(), DWORD(block.size()), block.data(),
                             DWORD(block.size()), &returned, nullptr))
            return Undelivered();
        return SptiReply(block);
    }

    // The storage calls, on a handle of its own opened for reading: allow removal (its outcome does
    // not matter), then eject.
    TScsiResult Eject() override {
        const HANDLE handle = CreateFileA(DevicePath(name_).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return kScsiNoDevice;
        DWORD returned = 0;
        BYTE prevent = 0;
        DeviceIoControl(handle, IOCTL_STORAGE_MEDIA_REMOVAL, &prevent, sizeof prevent, nullptr, 0, &returned, nullptr);
        const bool ejected =
            DeviceIoControl(handle, IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0, nullptr, 0, &returned, nullptr) != 0;
        CloseHandle(handle);
        return ejected ? kScsiOk : kScsiOtherError;
    }

    std::string FailureReason() const override { return reason_; }

    std::string Describe() const override { return name_; }

private:
    TScsiReply Undelivered() {
        reason_ = SystemErrorText(GetLastError());
        return {};
    }

    std::string name_;
    HANDLE handle_;
    std::string reason_;
};

}  // namespace

std::unique_ptr<IScsiTransport> OpenPassThrough(const std::string& name) {
    if (name.size() != 2 || name[1] != ':' || !std::isalpha(static_cast<unsigned char>(name[0])))
        throw std::runtime_error("'" + name + "' is not a drive such as E:");
    const HANDLE handle = CreateFileA(DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + name + " (error " + std::to_string(GetLastError()) + ")");
    return std::make_unique<TSptiTransport>(name, handle);
}

std::vector<std::string> PassThroughDeviceNames() {
    std::vector<std::string> names;
    // The 9x family has no pass-through: its drives are reached through ASPI only.
    if (RealHost().Version().platformId != kPlatformNt) return names;
    DWORD mask = GetLogicalDrives();
    for (char letter = 'A'; mask != 0; ++letter, mask >>= 1) {
        if ((mask & 1) == 0) continue;
        const std::string name{letter, ':'};
        char target[255] = {};
        if (QueryDosDeviceA(name.c_str(), target, sizeof target) != 0 && target[0] != '\0') names.push_back(name);
    }
    return names;
}

std::unique_ptr<IScsiTransport> OpenIscsi(const TIscsiUrl& /*url*/, const std::string& name) {
    throw std::runtime_error("cannot open " + name + ": iSCSI is not available on this host");
}

}  // namespace bootdisk
