#include "app/RowSpec.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

#include "app/CreateList.h"

namespace bootdisk {
namespace {

constexpr std::array<std::pair<std::string_view, TRowKind>, 4> kKinds = {
    {{"floppy", TRowKind::Floppy}, {"usb", TRowKind::Usb}, {"cd", TRowKind::Cd}, {"iso", TRowKind::Iso}}};

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TRowSpec ParseRowSpec(std::string_view text) {
    TRowSpec row;
    // Only digits before the first ":" are a count, so targets may hold colons of their own.
    if (const auto colon = text.find(':'); colon != std::string_view::npos && AllDigits(text.substr(0, colon))) {
        const auto count = text.substr(0, colon);
        if (count.size() > 2) throw std::invalid_argument("a row holds at most 99 copies: '" + std::string(text) + "'");
        row.quantity = FilterQuantity(count);
        text.remove_prefix(colon + 1);
    }
    const auto equals = text.find('=');
    const auto name = text.substr(0, equals);
    const auto kind = std::find_if(kKinds.begin(), kKinds.end(), [&](const auto& k) { return k.first == name; });
    if (kind == kKinds.end())
        throw std::invalid_argument("a row's kind is floppy, usb, cd or iso, not '" + std::string(name) + "'");
    row.kind = kind->second;
    if (equals != std::string_view::npos) {
        if (equals + 1 == text.size()) throw std::invalid_argument("'" + std::string(text) + "' names no target");
        row.target = std::string(text.substr(equals + 1));
    }
    if (!row.target && (row.kind == TRowKind::Usb || row.kind == TRowKind::Cd || row.kind == TRowKind::Iso))
        throw std::invalid_argument("a " + std::string(name) + " row needs a target: " + std::string(name) + "=...");
    return row;
}

std::string CopyFileName(const std::string& path, int copy) {
    if (copy <= 1) return path;
    const auto slash = path.find_last_of("/\\");
    const auto dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
                              dot != (slash == std::string::npos ? 0 : slash + 1);
    const auto stem = hasExtension ? path.substr(0, dot) : path;
    return stem + "-" + std::to_string(copy) + (hasExtension ? path.substr(dot) : "");
}

}  // namespace bootdisk
