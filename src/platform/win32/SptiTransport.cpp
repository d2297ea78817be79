// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "platform/win32/Win32Calls.h"

namespace bootdisk {
namespace {

// The blocks built as bytes match the system's own structures in this build's pointer width.
static_assert(offsetof(SCSI_PASS_THROUGH, DataBufferOffset) == kSptiHostLayout.dataBuffer &&
              offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) == kSptiHostLayout.dataBuffer &&
              offsetof(SCSI_PASS_THROUGH, SenseInfoOffset) == kSptiHostLayout.senseInfoOffset &&
              offsetof(SCSI_PASS_THROUGH, Cdb) == kSptiHostLayout.cdb &&
              sizeof(SCSI_PASS_THROUGH) == kSptiHostLayout.headerSize &&
              sizeof(SCSI_PASS_THROUGH_DIRECT) == kSptiHostLayout.headerSize);

std::wstring DevicePath(const std::string& name) { return L"\\\\.\\" + std::wstring(name.begin(), name.end()); }

static_assert(IOCTL_STORAGE_MEDIA_REMOVAL == 0x002D4804 && IOCTL_STORAGE_EJECT_MEDIA == 0x002D4808);
constexpr DWORD kPlatformNt = 2;
constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;

// The drive is opened for each command, or once for the commands of an operation that holds it,
// so that between operations other programs (and the user's eject button) have the drive.
class TSptiTransport : public TStatusTransport {
public:
    TSptiTransport(std::string name, IWin32Calls& calls, const TSptiLayout& layout)
        : name_(std::move(name)), calls_(calls), layout_(layout) {}

    TScsiReply Deliver(const TScsiRequest& request) override {
        reason_.clear();
        TOwnedHandle opened;
        HANDLE handle = held_;
        if (handle == nullptr) {
            opened = OpenDeviceQuietly(calls_, DevicePath(name_), kReadWrite);
            if (!opened) return Undelivered();
            handle = opened.Get();
        }
        DWORD returned = 0;
        if (UsesBufferedBlock(request)) {
            auto block = MakeBufferedBlock(request, layout_);
            if (!calls_.DeviceIoControl(handle, kIoctlScsiPassThrough, block.data(), DWORD(layout_.headerSize),
                                        block.data(), DWORD(block.size()), &returned))
                return Undelivered();
            if (request.direction == TDataDirection::In && request.data != nullptr)
                std::copy_n(block.begin() + layout_.DataOffset(), request.length, request.data);
            return Answered(block, request);
        }
        auto block = MakeDirectBlock(request, reinterpret_cast<std::uintptr_t>(request.data), layout_);
        if (!calls_.DeviceIoControl(handle, kIoctlScsiPassThroughDirect, block.data(), DWORD(block.size()),
                                    block.data(), DWORD(block.size()), &returned))
            return Undelivered();
        return Answered(block, request);
    }

    std::unique_ptr<IDeviceHold> HoldOpen() override {
        if (held_ != nullptr) return nullptr;  // an outer operation holds it already
        auto handle = OpenDeviceQuietly(calls_, DevicePath(name_), kReadWrite);
        if (!handle) return nullptr;  // each command then says why it cannot reach the drive
        return std::make_unique<THold>(*this, std::move(handle));
    }

    // The storage calls, on a handle of its own opened for reading: allow removal (its outcome does
    // not matter), then eject.
    TScsiResult Eject() override {
        const auto handle = OpenDeviceQuietly(calls_, DevicePath(name_), GENERIC_READ);
        if (!handle) return kScsiNoDevice;
        DWORD returned = 0;
        BYTE prevent = 0;
        calls_.DeviceIoControl(handle.Get(), IOCTL_STORAGE_MEDIA_REMOVAL, &prevent, sizeof prevent, nullptr, 0,
                               &returned);
        return calls_.DeviceIoControl(handle.Get(), IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0, nullptr, 0, &returned)
                   ? kScsiOk
                   : kScsiOtherError;
    }

    std::string Describe() const override { return name_; }

protected:
    std::string DeliveryFailure() const override { return reason_; }

private:
    class THold : public IDeviceHold {
    public:
        THold(TSptiTransport& transport, TOwnedHandle handle) : transport_(transport), handle_(std::move(handle)) {
            transport_.held_ = handle_.Get();
        }
        ~THold() override { transport_.held_ = nullptr; }
        THold(const THold&) = delete;
        THold& operator=(const THold&) = delete;

    private:
        TSptiTransport& transport_;
        TOwnedHandle handle_;
    };

    // The buffered block's data area is larger than most answers: no more than the request's
    // length counts as moved.
    TScsiReply Answered(const TSptiBlock& block, const TScsiRequest& request) const {
        auto reply = SptiReply(block, layout_);
        reply.transferred = std::min<std::uint32_t>(reply.transferred, request.length);
        return reply;
    }

    TScsiReply Undelivered() {
        reason_ = SystemErrorText(calls_.GetLastError());
        return {};
    }

    std::string name_;
    IWin32Calls& calls_;
    TSptiLayout layout_;
    HANDLE held_ = nullptr;
    std::string reason_;
};

}  // namespace

std::unique_ptr<IScsiTransport> OpenWin32PassThrough(const std::string& name, IWin32Calls& calls,
                                                     const TSptiLayout& layout) {
    if (name.size() != 2 || name[1] != ':' || !std::isalpha(static_cast<unsigned char>(name[0])))
        throw std::runtime_error("'" + name + "' is not a drive such as E:");
    // Opened once now to learn that it can be; every operation opens it again.
    if (!OpenDeviceQuietly(calls, DevicePath(name), kReadWrite))
        throw std::runtime_error("cannot open " + name + " (error " + std::to_string(calls.GetLastError()) + ")");
    return std::make_unique<TSptiTransport>(name, calls, layout);
}

std::unique_ptr<IScsiTransport> OpenPassThrough(const std::string& name) {
    return OpenWin32PassThrough(name, HostWin32Calls());
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
