// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RowSpec.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <utility>

#include "app/CreateList.h"
#include "app/CreationHandlers.h"
#include "app/NetbootJob.h"
#include "optical/ImageRecorder.h"

namespace bootdisk {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::pair<std::string_view, TRowKind>, 6> kKinds = {{{"floppy", TRowKind::Floppy},
                                                                          {"usb", TRowKind::Usb},
                                                                          {"cd", TRowKind::Cd},
                                                                          {"iso", TRowKind::Iso},
                                                                          {"img", TRowKind::Img},
                                                                          {"net", TRowKind::Net}}};

bool IsFileRow(TRowKind kind) { return kind == TRowKind::Iso || kind == TRowKind::Img || kind == TRowKind::Net; }

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TRowSpec ParseRowSpec(std::string_view text) {
    TRowSpec row;
    // Only digits before the first ":" are a count, so targets may hold colons of their own.
    if (const auto colon = text.find(':'); colon != std::string_view::npos && AllDigits(text.substr(0, colon))) {
        const auto count = text.substr(0, colon);
        // The quantity cell would turn "0" into one copy and "00" into none: a written row says
        // what it means.
        if (count.size() > 2 || QuantityOf(count) < 1 || count.find_first_not_of('0') == std::string_view::npos)
            throw std::invalid_argument("a row makes 1 to 99 copies, not " + std::string(count) + ": '" +
                                        std::string(text) + "'");
        row.quantity = std::string(count);
        text.remove_prefix(colon + 1);
    }
    const auto equals = text.find('=');
    const auto name = text.substr(0, equals);
    const auto kind = std::find_if(kKinds.begin(), kKinds.end(), [&](const auto& k) { return k.first == name; });
    if (kind == kKinds.end())
        throw std::invalid_argument("a row's kind is floppy, usb, cd, iso, img or net, not '" + std::string(name) + "'");
    row.kind = kind->second;
    if (equals != std::string_view::npos) {
        if (equals + 1 == text.size()) throw std::invalid_argument("'" + std::string(text) + "' names no target");
        row.target = std::string(text.substr(equals + 1));
    }
    if (!row.target && (row.kind == TRowKind::Usb || row.kind == TRowKind::Cd || IsFileRow(row.kind)))
        throw std::invalid_argument("a " + std::string(name) + " row needs a target: " + std::string(name) + "=...");
    return row;
}

std::vector<std::string> RowFileNames(const TRowSpec& row) {
    std::vector<std::string> names;
    if (!IsFileRow(row.kind) || !row.target) return names;
    const auto extension = (row.kind == TRowKind::Iso   ? ImageFileRequest()
                            : row.kind == TRowKind::Img ? FloppyImageFileRequest()
                                                        : NetbootFolderRequest())
                               .defaultExtension;
    for (int copy = 1; copy <= QuantityOf(row.quantity); ++copy)
        names.push_back(WithDefaultExtension(CopyFileName(*row.target, copy), extension));
    return names;
}

void CheckRowTargets(const std::vector<TRowSpec>& rows) {
    // Drives may take several copies one after the other; a file takes one, the last.
    std::map<std::string, std::size_t> drives, files;
    const auto key = [](const std::string& name) {
        std::error_code ignored;
        const auto canonical = fs::weakly_canonical(fs::absolute(name, ignored), ignored);
        return canonical.empty() ? name : canonical.string();
    };
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!IsFileRow(rows[i].kind) && rows[i].kind != TRowKind::Cd && rows[i].target)
            drives.emplace(key(*rows[i].target), i);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (const auto& name : RowFileNames(rows[i])) {
            const auto k = key(name);
            const auto earlier = files.find(k);
            const auto drive = drives.find(k);
            if (earlier == files.end() && drive == drives.end()) {
                files.emplace(k, i);
                continue;
            }
            const auto other = earlier != files.end() ? earlier->second : drive->second;
            throw std::invalid_argument("rows " + std::to_string(other + 1) + " and " + std::to_string(i + 1) +
                                        " both write " + name);
        }
    }
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
