// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MediaRecord.h"

#include <gtest/gtest.h>

#include "base/Json.h"
#include "platform/RecordFile.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

TMediaRecord Entry(const std::string& kind, const std::string& outcome) {
    TMediaRecord entry;
    entry.time = "2026-12-10T17:20:05Z";
    entry.version = "0.1.0";
    entry.payloadSha256 = std::string(64, 'a');
    entry.product = "Quellmark";
    entry.os = "rx";
    entry.options = "010000000001";
    entry.kind = kind;
    entry.outcome = outcome;
    return entry;
}

// What a user types and what drives report comes back as it went in: quotes, backslashes, a tab,
// text beyond Windows-1252; a model in Windows-1252 bytes comes back as its UTF-8.
TEST(MediaRecord, ALineReadsBackAsWritten) {
    auto entry = Entry("usb", "made");
    entry.parameters = "/p \"C:\\x\"\tß Ω 😀";
    entry.target = {"", "/dev/sdx", "M\xFCll Stick", "AB\\12", 16'000'000'000};
    entry.imageSha256 = std::string(64, 'b');
    entry.readBack = "match";
    const auto line = RecordLine(entry);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const auto back = ParseRecordLine(line);
    ASSERT_TRUE(back) << line;
    EXPECT_EQ(back->parameters, entry.parameters);
    EXPECT_EQ(back->target.model, "M\xC3\xBCll Stick");
    EXPECT_EQ(back->target.serial, "AB\\12");
    EXPECT_EQ(back->target.size, 16'000'000'000u);
    EXPECT_EQ(back->readBack, "match");
    EXPECT_EQ(RecordLine(*back), RecordLine([&] { auto e = entry; e.target.model = "M\xC3\xBCll Stick"; return e; }()));

    for (const char* damaged : {"", "{", "[1]", "{\"format\": 2, \"time\": \"t\", \"kind\": \"iso\", \"outcome\": \"made\"}",
                                "{\"format\": 1}", "{\"format\": 1, \"time\": \"t\\ud800\"}",
                                "{\"format\": 1, \"time\": \"t\", \"kind\": \"usb\", \"outcome\": \"made\", "
                                "\"target\": {\"size\": 8e86}}"})
        EXPECT_FALSE(ParseRecordLine(damaged)) << damaged;
    EXPECT_FALSE(ParseJson(std::string(100, '[') + std::string(100, ']'))) << "nesting without bound";
}

// Appended lines are read back in order; a damaged line is counted and skipped, not fatal.
TEST(MediaRecord, TheTailKeepsTheLastEntriesAndCountsDamagedLines) {
    test::TTempDir dir;
    const auto path = dir / "state/bootdisk/media.jsonl";
    EXPECT_TRUE(ReadRecordTail(path, 10).entries.empty()) << "no record yet is an empty record";
    AppendRecordLine(path, RecordLine(Entry("iso", "made")));
    AppendRecordLine(path, "{\"format\": 1, \"time\": ");  // a line cut short by a full disk
    AppendRecordLine(path, RecordLine(Entry("usb", "read-back-mismatch")));
    AppendRecordLine(path, RecordLine(Entry("cd", "failed")));
    const auto tail = ReadRecordTail(path, 2);
    ASSERT_EQ(tail.entries.size(), 2u);
    EXPECT_EQ(tail.entries[0].kind, "usb");
    EXPECT_EQ(tail.entries[0].outcome, "read-back-mismatch");
    EXPECT_EQ(tail.entries[1].kind, "cd");
    EXPECT_EQ(tail.damagedLines, 1);
}

}  // namespace
}  // namespace bootdisk
