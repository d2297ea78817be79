// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/DosTime.h"

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

namespace bootdisk {

namespace {

constexpr int kFirstYear = 1980;
constexpr int kLastYear = 2107;

TDosDateTime Pack(int year, int month, int day, int hour, int minute, int second) {
    if (year < kFirstYear) return Pack(kFirstYear, 1, 1, 0, 0, 0);
    if (year > kLastYear) return Pack(kLastYear, 12, 31, 23, 59, 59);
    return {std::uint16_t((year - kFirstYear) << 9 | month << 5 | day),
            std::uint16_t(hour << 11 | minute << 5 | (second > 59 ? 59 : second) / 2)};
}

std::optional<std::int64_t> SourceDateEpoch() {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (!text || !*text) return std::nullopt;
    std::int64_t seconds = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, seconds);
    if (error != std::errc() || stop != end || seconds < 0) return std::nullopt;
    return seconds;
}

TDosDateTime FromUtcSeconds(std::int64_t seconds) {
    using namespace std::chrono;
    // Beyond the DOS range already; keeps the calendar arithmetic far from overflow.
    constexpr std::int64_t kPastLastYear = 4'354'819'200;
    if (seconds >= kPastLastYear) return Pack(kLastYear + 1, 1, 1, 0, 0, 0);
    const sys_seconds moment{std::chrono::seconds(seconds)};
    const auto day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss clock{moment - day};
    return Pack(int(date.year()), int(unsigned(date.month())), int(unsigned(date.day())), int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()));
}

}  // namespace

TDosDateTime DosDateTimeNow() {
    if (const auto epoch = SourceDateEpoch()) return FromUtcSeconds(*epoch);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return Pack(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

std::int64_t EpochSecondsNow() {
    if (const auto epoch = SourceDateEpoch()) return *epoch;
    return std::int64_t(std::time(nullptr));
}

}  // namespace bootdisk
