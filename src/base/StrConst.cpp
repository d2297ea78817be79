// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/StrConst.h"

#include "base/Text.h"

namespace bootdisk {

namespace {

constexpr std::array<std::string_view, kStrIdCount> kKeys = {
#define STRCONST(key, text) #key,
#include "base/StrConst.def"
#undef STRCONST
};

constexpr std::array<std::string_view, kStrIdCount> kDefaults = {
#define STRCONST(key, text) std::string_view(text, sizeof(text) - 1),
#include "base/StrConst.def"
#undef STRCONST
};

constexpr std::array<std::string_view, kAspiErrorCount> kAspiErrorDefaults = {
    "No error",
    "Is not a CD-ROM/CD-RW device",
    "SCSI ERROR",
    "Device not ready",
    "The disc is not erasable",
    "Can't get write parameters",
    "Can't set write parameters",
    "Invalid track",
    "Can't read track information",
    "There is not enought free space on the disc",
    "Can't read buffer capacity",
    "Write error",
    "Synchronize cache error",
    "Can't close track",
    "Can't close session",
};

// Entries 4 and 6 are the menu's separators and carry no text.
constexpr std::array<std::string_view, kPopupHelpCount> kPopupHelpDefaults = {
    "Help Contents", "Help", "Frequently Asked Questions", "",
    "Technical Support", "", "About", "Halvex Quellmark 2005 on the Web",
};

std::string FamilyKey(std::string_view family, int index) {
    return std::string(family) + "(" + std::to_string(index) + ")";
}

const std::string& Indexed(const auto& texts, int index) {
    static const std::string empty;
    return index >= 0 && std::size_t(index) < texts.size() ? texts[std::size_t(index)] : empty;
}

}  // namespace

TStringTable::TStringTable() {
    for (std::size_t i = 0; i < kStrIdCount; ++i) singles_[i] = Cp1252ToUtf8(kDefaults[i]);
    for (std::size_t i = 0; i < aspiErrors_.size(); ++i) aspiErrors_[i] = Cp1252ToUtf8(kAspiErrorDefaults[i]);
    for (std::size_t i = 0; i < popupHelp_.size(); ++i) popupHelp_[i] = Cp1252ToUtf8(kPopupHelpDefaults[i]);
}

const std::string& TStringTable::AspiError(int code) const { return Indexed(aspiErrors_, code); }

const std::string& TStringTable::PopupHelp(int n) const { return Indexed(popupHelp_, n - 1); }

std::string_view TStringTable::Key(StrId id) { return kKeys[std::size_t(id)]; }

template <class Self, class Visit>
void TStringTable::Walk(Self& self, const Visit& visit) {
    for (std::size_t i = 0; i < kStrIdCount; ++i) visit(kKeys[i], self.singles_[i]);
    for (int i = 0; i < kAspiErrorCount; ++i)
        visit(FamilyKey(kAspiErrorFamily, i), self.aspiErrors_[std::size_t(i)]);
    for (int n = 1; n <= kPopupHelpCount; ++n)
        visit(FamilyKey(kPopupHelpFamily, n), self.popupHelp_[std::size_t(n - 1)]);
}

void TStringTable::ForEachEntry(
    const std::function<void(std::string_view key, std::string& text)>& visit) {
    Walk(*this, visit);
}

void TStringTable::ForEachEntry(
    const std::function<void(std::string_view key, const std::string& text)>& visit) const {
    Walk(*this, visit);
}

std::string WithValues(std::string_view text, std::initializer_list<std::string_view> values) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto index = i + 1 < text.size() && text[i] == '%' ? text[i + 1] - '1' : -1;
        if (index >= 0 && std::size_t(index) < values.size()) {
            result += values.begin()[index];
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

}  // namespace bootdisk
