// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CreateList.h"

#include <algorithm>
#include <charconv>

namespace bootdisk {

std::vector<TMediaKind> BuildMediaKinds(const std::string& floppyLabel, const std::vector<TOpticalDevice*>& writers,
                                        const std::vector<TMediaKind>& removables, TOpticalDevice& imageRecorder,
                                        const std::string& floppyImageLabel, const std::string& netbootLabel) {
    std::vector<TMediaKind> kinds = {{floppyLabel, TMediaType::Floppy, nullptr, {}}};
    for (auto* writer : writers)
        if (writer->IsWriter()) kinds.push_back({writer->DisplayName, TMediaType::Optical, writer, {}});
    kinds.insert(kinds.end(), removables.begin(), removables.end());
    if (!netbootLabel.empty()) kinds.push_back({netbootLabel, TMediaType::NetbootFolder, nullptr, {}});
    if (!floppyImageLabel.empty()) kinds.push_back({floppyImageLabel, TMediaType::FloppyImage, nullptr, {}});
    kinds.push_back({imageRecorder.DisplayName, TMediaType::Optical, &imageRecorder, {}});
    return kinds;
}

std::string FilterQuantity(std::string_view text) {
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return c >= '0' && c <= '9'; });
    return digits.empty() || digits == "0" ? "1" : digits;
}

int QuantityOf(std::string_view text) {
    const auto digits = FilterQuantity(text);
    int value = 0;
    // Two characters at most in the cell; a longer text is clamped rather than overflowing.
    if (std::from_chars(digits.data(), digits.data() + digits.size(), value).ec != std::errc()) return 99;
    return value;
}

std::string TidyQuantity(std::string_view text) { return std::to_string(std::clamp(QuantityOf(text), 1, 99)); }

std::string QuantityUp(std::string_view text) { return std::to_string(std::min(99, QuantityOf(text) + 1)); }
std::string QuantityDown(std::string_view text) { return std::to_string(std::max(1, QuantityOf(text) - 1)); }

bool TCreationList::Add() {
    if (rows_.size() >= kMaxRows) return false;
    rows_.push_back({});
    return true;
}

void TCreationList::Remove() {
    if (!selected_) return;
    rows_.erase(rows_.begin() + std::ptrdiff_t(*selected_));
    selected_.reset();
}

void TCreationList::Clear() {
    rows_.clear();
    selected_.reset();
}

void TCreationList::Select(std::size_t row) {
    if (row < rows_.size()) selected_ = row;
}

TListButtons TCreationList::Buttons() const {
    return {selected_.has_value(), !rows_.empty(), !rows_.empty(), rows_.size() < kMaxRows};
}

}  // namespace bootdisk
