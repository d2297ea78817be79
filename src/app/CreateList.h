// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The creation list of the wizard's first page: rows of (quantity, media kind), the media kinds a
// row offers, and the rules of the Add, Remove and Clear buttons.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "optical/Optical_device.h"

namespace bootdisk {

// A removable drive as the removable installation addresses it.
struct TRemovableDrive {
    char letter = 0;     // how the disk objects reach it
    std::string device;  // "E:" on Windows, the device node on Linux
    std::string identity;  // the drive found at device then (see THostDrive)
    // The mount points the user was told would be unmounted, for the copy in hand.
    std::vector<std::string> mountPoints;
    std::string number{};   // the system's number of the disk then (see THostDrive)
    std::string details{};  // "SanDisk Cruzer, 16.0 GB"
    std::vector<std::string> volumes{};  // of the disk, where they have names of their own (see THostDrive)
};

enum class TMediaType { Floppy, Optical, Removable, FloppyImage, NetbootFolder };

struct TMediaKind {
    std::string label;
    TMediaType type = TMediaType::Floppy;
    TOpticalDevice* device = nullptr;  // writers and the image recorder
    TRemovableDrive removable;
    bool gone = false;  // a removable drive that was taken away while a row had it chosen
};

// The floppy first, then the writers whose IsWriter answers true, then the removable drives, then
// the kinds that write files, each when it has a label: the network boot folder and the floppy
// image; last the image recorder.
std::vector<TMediaKind> BuildMediaKinds(const std::string& floppyLabel, const std::vector<TOpticalDevice*>& writers,
                                        const std::vector<TMediaKind>& removables, TOpticalDevice& imageRecorder,
                                        const std::string& floppyImageLabel = {}, const std::string& netbootLabel = {});

// A drive taken away stays listed only for the rows that had it chosen: no other row is offered it.
inline bool KindOffered(const TMediaKind& kind, bool chosenByRow) { return !kind.gone || chosenByRow; }

// The quantity cell keeps only digits; an empty or "0" text becomes "1" ("00" stays).
std::string FilterQuantity(std::string_view text);
// What the cell shows once editing ends: 1 to 99, so that no run makes zero copies of a row.
std::string TidyQuantity(std::string_view text);
int QuantityOf(std::string_view text);
std::string QuantityUp(std::string_view text);    // at most 99
std::string QuantityDown(std::string_view text);  // at least 1

struct TCreateListRow {
    std::string quantity = "1";
    std::size_t kind = 0;  // index into the media kinds; the floppy at first
};

struct TListButtons {
    bool remove = false;
    bool clear = false;
    bool next = false;
    bool add = true;  // until the list is full
};

class TCreationList {
public:
    static constexpr std::size_t kMaxRows = 51;

    // False when the list is full (the caller beeps).
    bool Add();
    void Remove();  // the selected row, if any
    void Clear();
    void Select(std::size_t row);

    const std::vector<TCreateListRow>& Rows() const { return rows_; }
    TCreateListRow& Row(std::size_t index) { return rows_.at(index); }
    std::optional<std::size_t> Selected() const { return selected_; }
    // The enabled states the 50 ms timer keeps the buttons at.
    TListButtons Buttons() const;

private:
    std::vector<TCreateListRow> rows_;
    std::optional<std::size_t> selected_;
};

}  // namespace bootdisk
