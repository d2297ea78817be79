// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Vwin32.h"

#include <cerrno>

namespace bootdisk {
namespace {

class TNoVwin32 : public IVwin32 {
public:
    std::unique_ptr<IVwin32Service> Open(std::uint32_t& error) override {
        error = ENOSYS;
        return nullptr;
    }
};

}  // namespace

IVwin32& HostVwin32() {
    static TNoVwin32 none;
    return none;
}

}  // namespace bootdisk
