// SPDX-License-Identifier: GPL-3.0-or-later
// The ASPI layer wnaspi32.dll, bound at run time; without it, or without either entry point, the
// substitutes of TAbsentAspiLayer answer and the layer counts as not available.
#include <windows.h>

#include "base/Bytes.h"
#include "optical/AspiBlock.h"
#include "optical/AspiLayer.h"

namespace bootdisk {
namespace {

// Both entry points use the C calling convention.
using TGetSupportInfo = DWORD(__cdecl*)();
using TSendCommand = DWORD(__cdecl*)(void*);

class TWin32Event : public IAspiEvent {
public:
    TWin32Event() : handle_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~TWin32Event() override {
        if (handle_) CloseHandle(handle_);
    }
    TWin32Event(const TWin32Event&) = delete;
    TWin32Event& operator=(const TWin32Event&) = delete;

    bool Wait(std::chrono::milliseconds limit) override {
        return handle_ && WaitForSingleObject(handle_, DWORD(limit.count())) == WAIT_OBJECT_0;
    }
    void Reset() override {
        if (handle_) ResetEvent(handle_);
    }
    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_;
};

// The request blocks hold 32-bit addresses: only a 32-bit process can hand them to the layer.
std::uint32_t Address32(const void* pointer) { return std::uint32_t(reinterpret_cast<std::uintptr_t>(pointer)); }

class TWnaspi32 : public IAspiLayer {
public:
    TWnaspi32(HMODULE module, TGetSupportInfo support, TSendCommand send)
        : module_(module), support_(support), send_(send) {}
    ~TWnaspi32() override { FreeLibrary(module_); }
    TWnaspi32(const TWnaspi32&) = delete;
    TWnaspi32& operator=(const TWnaspi32&) = delete;

    std::uint32_t GetASPI32SupportInfo() override { return support_(); }

    std::uint8_t SendASPI32Command(const TAspiRequest& request) override {
        auto block = request.block;
        if (block.size() == srbexec::Size && block[srb::Cmd] == srb::SC_EXEC_SCSI_CMD) {
            const auto* event = static_cast<TWin32Event*>(request.event);
            PutLE32(&block[srbexec::BufPointer], Address32(request.buffer));
            PutLE32(&block[srbexec::PostProc], Address32(event ? event->Handle() : nullptr));
        } else if (block.size() == srbabort::Size && block[srb::Cmd] == srb::SC_ABORT_SRB) {
            PutLE32(&block[srbabort::ToAbort], Address32(request.toAbort.data()));
        }
        return std::uint8_t(send_(block.data()));
    }

    std::unique_ptr<IAspiEvent> NewEvent() override { return std::make_unique<TWin32Event>(); }

private:
    HMODULE module_;
    TGetSupportInfo support_;
    TSendCommand send_;
};

std::shared_ptr<IAspiLayer> BindLayer() {
    if constexpr (sizeof(void*) != 4) return std::make_shared<TAbsentAspiLayer>();
    HMODULE module = LoadLibraryA("wnaspi32.dll");
    if (!module) return std::make_shared<TAbsentAspiLayer>();
    const auto support = reinterpret_cast<TGetSupportInfo>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "GetASPI32SupportInfo")));
    const auto send =
        reinterpret_cast<TSendCommand>(reinterpret_cast<void (*)()>(GetProcAddress(module, "SendASPI32Command")));
    if (!support || !send) {
        FreeLibrary(module);
        return std::make_shared<TAbsentAspiLayer>();
    }
    return std::make_shared<TWnaspi32>(module, support, send);
}

}  // namespace

std::shared_ptr<IAspiLayer> HostAspiLayer() {
    static const auto layer = BindLayer();
    return layer;
}

}  // namespace bootdisk
