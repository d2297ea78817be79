// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Vwin32.h"

#include <windows.h>

namespace bootdisk {
namespace {

class TWin32Vwin32Service : public IVwin32Service {
public:
    explicit TWin32Vwin32Service(HANDLE handle) : handle_(handle) {}
    ~TWin32Vwin32Service() override { CloseHandle(handle_); }
    TWin32Vwin32Service(const TWin32Vwin32Service&) = delete;
    TWin32Vwin32Service& operator=(const TWin32Vwin32Service&) = delete;

    // The 9x family runs this 32-bit program with flat 32-bit addresses.
    std::uint32_t AddressOf(std::span<std::uint8_t> memory) override {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(memory.data()));
    }
    std::uint32_t Control(std::uint32_t service, TVwin32Registers::TBlock& block) override {
        DWORD returned = 0;
        if (!DeviceIoControl(handle_, service, block.data(), DWORD(block.size()), block.data(), DWORD(block.size()),
                             &returned, nullptr))
            return static_cast<std::uint32_t>(GetLastError());
        return 0;
    }

private:
    HANDLE handle_;
};

class TWin32Vwin32 : public IVwin32 {
public:
    std::unique_ptr<IVwin32Service> Open(std::uint32_t& error) override {
        const HANDLE handle = CreateFileA("\\\\.\\vwin32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            error = static_cast<std::uint32_t>(GetLastError());
            return nullptr;
        }
        error = 0;
        return std::make_unique<TWin32Vwin32Service>(handle);
    }
};

}  // namespace

IVwin32& HostVwin32() {
    static TWin32Vwin32 host;
    return host;
}

}  // namespace bootdisk
