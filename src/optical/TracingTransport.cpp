// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/TracingTransport.h"

namespace bootdisk {

TTracingTransport::TTracingTransport(std::unique_ptr<IScsiTransport> inner, std::FILE* out)
    : inner_(std::move(inner)), out_(out) {}

TScsiResult TTracingTransport::Execute(const TScsiRequest& request) {
    const auto result = inner_->Execute(request);
    std::fprintf(out_, "%s\n", TraceLine(request, result).c_str());
    std::fflush(out_);
    return result;
}

std::string TraceLine(const TScsiRequest& request, TScsiResult result) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string line;
    for (std::size_t i = 0; i < request.cdbLength && i < request.cdb.size(); ++i) {
        line += kHex[request.cdb[i] >> 4];
        line += kHex[request.cdb[i] & 0x0F];
        line += ' ';
    }
    line += request.direction == TDataDirection::In    ? "in "
            : request.direction == TDataDirection::Out ? "out "
                                                       : "none ";
    line += std::to_string(request.length) + " -> " + std::to_string(unsigned(result));
    return line;
}

}  // namespace bootdisk
