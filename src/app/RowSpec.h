// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A creation list row written as text, for scripted runs: "[N:]KIND[=TARGET]", e.g. "2:iso=a.iso",
// "usb=/dev/sdb", "cd=iscsi://host/iqn.2026-01.example:writer/0", "img=boot.img", "net=/srv/tftp".
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bootdisk {

enum class TRowKind { Floppy, Usb, Cd, Iso, Img, Net };

struct TRowSpec {
    std::string quantity = "1";  // as the row's quantity cell holds it
    TRowKind kind = TRowKind::Floppy;
    std::optional<std::string> target;
};

// Throws std::invalid_argument naming what is wrong with text.
TRowSpec ParseRowSpec(std::string_view text);

// The files an iso or img row writes (the folders of a net row), one per copy, as the save dialog
// completes them.
std::vector<std::string> RowFileNames(const TRowSpec& row);

// Throws std::invalid_argument naming two rows (or copies) that would write the same file, or a
// file that another row names as its drive.
void CheckRowTargets(const std::vector<TRowSpec>& rows);

// Where copy k (from 1) of a file row goes: the name itself for the first, then "a-2.iso", "a-3.iso".
std::string CopyFileName(const std::string& path, int copy);

}  // namespace bootdisk
