// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/TracingTransport.h"

#include <algorithm>
#include <span>

namespace bootdisk {

TTracingTransport::TTracingTransport(std::unique_ptr<IScsiTransport> inner, std::FILE* out)
    : inner_(std::move(inner)), out_(out) {}

TScsiResult TTracingTransport::Execute(const TScsiRequest& request) {
    const auto result = inner_->Execute(request);
    std::fprintf(out_, "%s\n", TraceLine(request, result, inner_->LastSense()).c_str());
    std::fflush(out_);
    return result;
}

void TTracingTransport::Remark(const std::string& text) {
    std::fprintf(out_, "# %s\n", text.c_str());
    std::fflush(out_);
}

namespace {

void AppendHex(std::string& line, std::span<const std::uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (const auto byte : bytes) {
        line += kHex[byte >> 4];
        line += kHex[byte & 0x0F];
        line += ' ';
    }
}

}  // namespace

std::string TraceLine(const TScsiRequest& request, TScsiResult result, const TSenseBytes& sense) {
    std::string line;
    AppendHex(line, std::span(request.cdb).first(std::min<std::size_t>(request.cdbLength, request.cdb.size())));
    line += request.direction == TDataDirection::In    ? "in "
            : request.direction == TDataDirection::Out ? "out "
                                                       : "none ";
    line += std::to_string(request.length) + " -> " + std::to_string(unsigned(result));
    if (sense.empty()) return line;
    line += " sense ";
    AppendHex(line, sense);
    const auto words = DescribeSense(sense);
    line += words.empty() ? std::string("(not decoded)") : "(" + words + ")";
    return line;
}

}  // namespace bootdisk
