// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record of media made: one JSON line per medium, for audits that must show which media were
// made, from which payload and options, onto which device, and whether they read back as written.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bootdisk {

// Where a medium went: a file's path, or a drive as it was identified when written.
struct TRecordTarget {
    std::string path;
    std::string device;
    std::string model;
    std::string serial;
    std::uint64_t size = 0;
};

// Words shared with the command line's --json output. The outcome is one of "made", "failed",
// "refused", "stopped", "read-back-mismatch"; the read-back one of "match", "mismatch",
// "skipped" (not asked for), "none" (the kind has none, or the copy ended before it).
struct TMediaRecord {
    std::string time;  // UTC, "2026-12-10T17:20:05Z"
    std::string version;
    std::string payloadSha256;
    std::string product;
    std::string os;  // "rx" or "msdos"
    std::string options;
    std::string parameters;
    std::string kind;  // "floppy", "usb", "cd", "iso", "img", "net"
    TRecordTarget target;
    std::string imageSha256;
    std::string readBack = "none";
    std::string outcome;
};

// The entry's line, without its line break.
std::string RecordLine(const TMediaRecord& entry);
// Nothing when line is not a record entry (damaged, or of a format this version does not read).
std::optional<TMediaRecord> ParseRecordLine(std::string_view line);

struct TAppContext;
struct TCreationSettings;
class IHostSystem;

// The record as one run keeps it: the fields every medium of the run shares, and each medium
// appended to the record file in turn.
class TMediaRecorder {
public:
    // path empty: nothing goes to a file (--no-record); the media are still completed.
    TMediaRecorder(std::string path, const TAppContext& app, const TCreationSettings& settings,
                   const IHostSystem& host);

    // Completes medium with the run's fields (time, version, payload, boot system, options,
    // parameters) and appends it; returns why the record file did not take it, empty when it did.
    std::string Add(TMediaRecord& medium);

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    const TAppContext& app_;
    const TCreationSettings& settings_;
    const IHostSystem& host_;
};

// The current moment as the record writes it: the real clock, even where SOURCE_DATE_EPOCH
// fixes the time stamps inside images, since the record tells when the medium was made.
std::string RecordTimeNow();

struct TRecordTail {
    std::vector<TMediaRecord> entries;  // oldest first
    int damagedLines = 0;
};

// The last count entries of the record at path; an absent file is an empty record. Throws
// EStreamError when the file cannot be read.
TRecordTail ReadRecordTail(const std::string& path, std::size_t count);

}  // namespace bootdisk
