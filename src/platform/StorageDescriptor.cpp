// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/StorageDescriptor.h"

#include <algorithm>

#include "base/Bytes.h"

namespace bootdisk {
namespace {

std::string TextAt(std::span<const std::uint8_t> answer, std::size_t field) {
    const std::size_t offset = GetLE32(answer.data() + field);
    // Offset 0 marks a text the drive does not give.
    if (offset == 0 || offset >= answer.size()) return {};
    const auto begin = answer.begin() + std::ptrdiff_t(offset);
    const auto end = std::find(begin, answer.end(), 0);
    if (end == answer.end()) return {};
    std::string text(begin, end);
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string DescriptorModel(std::span<const std::uint8_t> answer) {
    if (answer.size() < storage::HeaderSize) return {};
    const auto vendor = TextAt(answer, storage::VendorIdOffset);
    const auto product = TextAt(answer, storage::ProductIdOffset);
    if (product.empty()) return {};
    return vendor.empty() ? product : vendor + " " + product;
}

std::string DescriptorSerial(std::span<const std::uint8_t> answer) {
    return answer.size() < storage::HeaderSize ? std::string() : TextAt(answer, storage::SerialNumberOffset);
}

}  // namespace bootdisk
