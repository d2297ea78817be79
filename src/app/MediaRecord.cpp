// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MediaRecord.h"

#include <chrono>
#include <cstdio>

#include "app/CdDvdJob.h"
#include "app/Options.h"
#include "app/Startup.h"
#include "base/Errors.h"
#include "base/Json.h"
#include "base/Text.h"
#include "base/Streams.h"
#include "platform/Host.h"
#include "platform/HostSystem.h"
#include "platform/OutputFile.h"
#include "platform/RecordFile.h"

namespace bootdisk {
namespace {

// A record line is a few hundred bytes; reading this much of the end finds far more entries than
// a table shows, without reading a record of years whole.
constexpr std::uint64_t kTailBytes = 1 << 20;

std::string TargetJson(const TRecordTarget& target) {
    TJsonObject json;
    if (!target.path.empty()) return json.String("path", target.path).Text();
    return json.String("device", target.device)
        .String("model", target.model)
        .String("serial", target.serial)
        .Number("size", target.size)
        .Text();
}

}  // namespace

std::string RecordLine(const TMediaRecord& entry) {
    return TJsonObject()
        .Number("format", kJsonFormat)
        .String("time", entry.time)
        .String("version", entry.version)
        .Raw("payload", TJsonObject().String("sha256", entry.payloadSha256).String("product", entry.product).Text())
        .String("os", entry.os)
        .String("options", entry.options)
        .String("parameters", entry.parameters)
        .String("kind", entry.kind)
        .Raw("target", TargetJson(entry.target))
        .String("imageSha256", entry.imageSha256)
        .String("readBack", entry.readBack)
        .String("outcome", entry.outcome)
        .Text();
}

std::optional<TMediaRecord> ParseRecordLine(std::string_view line) {
    const auto json = ParseJson(line);
    if (!json || json->type != TJsonValue::TType::Object) return std::nullopt;
    const auto* format = json->Member("format");
    if (!format || format->type != TJsonValue::TType::Number || format->number != kJsonFormat) return std::nullopt;
    TMediaRecord entry;
    entry.time = json->Text("time");
    entry.version = json->Text("version");
    if (const auto* payload = json->Member("payload")) {
        entry.payloadSha256 = payload->Text("sha256");
        entry.product = payload->Text("product");
    }
    entry.os = json->Text("os");
    entry.options = json->Text("options");
    entry.parameters = json->Text("parameters");
    entry.kind = json->Text("kind");
    if (const auto* target = json->Member("target")) {
        entry.target.path = target->Text("path");
        entry.target.device = target->Text("device");
        entry.target.model = target->Text("model");
        entry.target.serial = target->Text("serial");
        if (const auto* size = target->Member("size"); size && size->type == TJsonValue::TType::Number) {
            // A size no drive has (negative, or past what a double holds exactly): a damaged line.
            if (!(size->number >= 0 && size->number <= 9007199254740992.0)) return std::nullopt;
            entry.target.size = std::uint64_t(size->number);
        }
    }
    entry.imageSha256 = json->Text("imageSha256");
    entry.readBack = json->Text("readBack");
    entry.outcome = json->Text("outcome");
    if (entry.time.empty() || entry.kind.empty() || entry.outcome.empty()) return std::nullopt;
    return entry;
}

std::string RecordTimeNow() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss clock{now - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()), int(clock.hours().count()), int(clock.minutes().count()),
                  int(clock.seconds().count()));
    return text;
}

TMediaRecorder::TMediaRecorder(std::string path, const TAppContext& app, const TCreationSettings& settings,
                               const IHostSystem& host)
    : path_(std::move(path)), app_(app), settings_(settings), host_(host) {}

std::string TMediaRecorder::Add(TMediaRecord& medium) {
    // A CD, its image file and a network boot folder are made from the CD payload and boot the
    // system a CD boots; the others from the floppy payload.
    const bool cdSide = medium.kind == "cd" || medium.kind == "iso" || medium.kind == "net";
    const bool msDos = cdSide ? CdUsesMsDos(host_.Version(), settings_.cdUseMsDos) : settings_.useMsDos;
    medium.time = RecordTimeNow();
    medium.version = ProgramVersion().version;
    medium.payloadSha256 = cdSide ? app_.payloads.CdSha256() : app_.payloads.FloppySha256();
    medium.product = app_.texts[StrId::PRODUCTTXT];
    medium.os = msDos ? "msdos" : "rx";
    medium.options = OptionsString(settings_.options);
    medium.parameters = Cp1252ToUtf8(settings_.parameters);
    if (path_.empty()) return {};
    try {
        AppendRecordLine(path_, RecordLine(medium));
        return {};
    } catch (const EStreamError& error) {
        return error.what();
    }
}

TRecordTail ReadRecordTail(const std::string& path, std::size_t count) {
    if (InspectPath(path).kind == TPathKind::Missing) return {};
    TFileStream file(path, FileMode::Read);
    const auto size = file.Size();
    const auto start = size > kTailBytes ? size - kTailBytes : 0;
    file.SetPosition(start);
    std::string text(std::size_t(size - start), '\0');
    text.resize(file.Read(text.data(), text.size()));
    // A tail that starts inside a line: that line is not whole, so it is not read.
    if (start > 0) text.erase(0, text.find('\n') + 1);
    TRecordTail tail;
    for (std::size_t at = 0; at < text.size();) {
        auto end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (line.find_first_not_of(" \t\r") == std::string_view::npos) continue;
        if (auto entry = ParseRecordLine(line)) {
            tail.entries.push_back(std::move(*entry));
        } else {
            ++tail.damagedLines;
        }
    }
    if (tail.entries.size() > count) tail.entries.erase(tail.entries.begin(), tail.entries.end() - std::ptrdiff_t(count));
    return tail;
}

}  // namespace bootdisk
