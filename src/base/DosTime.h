// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// DOS date and time stamps, as directory entries store them.
#include <cstdint>

namespace bootdisk {

struct TDosDateTime {
    std::uint16_t Date = 0;  // (year - 1980) << 9 | month << 5 | day
    std::uint16_t Time = 0;  // hour << 11 | minute << 5 | second / 2
};

// The stamp of now in local time. When SOURCE_DATE_EPOCH holds a number of seconds, that moment
// in UTC is used instead, so the same inputs give the same image bytes. Moments outside the DOS
// range (1980 to 2107) are clamped to its ends.
TDosDateTime DosDateTimeNow();

// Seconds since 1970-01-01 in UTC: SOURCE_DATE_EPOCH when it holds a number, else now.
std::int64_t EpochSecondsNow();

}  // namespace bootdisk
