// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk record`: the last entries of the record of media made, as a table or as JSON.
#include <charconv>
#include <cstdio>
#include <stdexcept>

#include "app/MediaRecord.h"
#include "base/Errors.h"
#include "base/Json.h"
#include "cli/Commands.h"
#include "cli/Output.h"
#include "cli/Session.h"

namespace bootdisk::cli {
namespace {

constexpr std::size_t kDefaultCount = 20;
constexpr std::size_t kMaxCount = 10'000;

std::size_t CountOf(const TArguments& args) {
    if (args.positional.empty()) return kDefaultCount;
    if (args.positional.size() > 1) throw std::invalid_argument("record takes at most one number of entries");
    const auto& text = args.positional.front();
    std::size_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count == 0 || count > kMaxCount)
        throw std::invalid_argument("record takes a number of entries from 1 to " + std::to_string(kMaxCount) +
                                    ", not '" + text + "'");
    return count;
}

std::string TargetText(const TRecordTarget& target) {
    if (!target.path.empty()) return target.path;
    std::string text = target.device;
    if (!target.model.empty()) text += " " + target.model;
    if (!target.serial.empty()) text += " #" + target.serial;
    return text;
}

void PrintTable(const TRecordTail& tail) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& entry : tail.entries)
        rows.emplace_back(entry.time + "  " + entry.kind,
                          entry.outcome + "  read-back " + entry.readBack + "  " + TargetText(entry.target) +
                              (entry.imageSha256.empty() ? "" : "  sha256 " + entry.imageSha256.substr(0, 16)));
    Print(rows.empty() ? "No medium has been recorded yet.\n" : AlignedColumns(rows));
}

}  // namespace

TExitCode RunRecord(const TArguments& args) {
    const auto count = CountOf(args);
    const auto path = RecordPath(args);
    if (path.empty()) {
        PrintError(args.command, "there is no record: --no-record was given, or the system names no folder for it");
        return TExitCode::Failed;
    }
    TRecordTail tail;
    try {
        tail = ReadRecordTail(path, count);
    } catch (const EStreamError& error) {
        PrintError(args.command, "cannot read the record " + path + ": " + error.what());
        return TExitCode::Failed;
    }
    if (tail.damagedLines > 0)
        PrintError(args.command, std::to_string(tail.damagedLines) + " damaged line(s) of " + path +
                                     " were skipped (cut short, or written by another program)");
    if (!args.json) {
        Print("Record " + path + ":\n");
        PrintTable(tail);
        return TExitCode::Made;
    }
    std::vector<std::string> entries;
    for (const auto& entry : tail.entries) entries.push_back(RecordLine(entry));
    std::printf("%s\n", TJsonObject()
                            .Number("format", kJsonFormat)
                            .String("record", path)
                            .Number("damagedLines", std::uint64_t(tail.damagedLines))
                            .Raw("entries", JsonArray(entries))
                            .Text()
                            .c_str());
    return TExitCode::Made;
}

}  // namespace bootdisk::cli
