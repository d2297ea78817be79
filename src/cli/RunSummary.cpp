// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RunSummary.h"

#include "base/Json.h"

namespace bootdisk::cli {

TRunSummary& RunSummary() {
    static TRunSummary summary;
    return summary;
}

std::string RunSummaryJson(const std::string& command, TExitCode code) {
    const auto& summary = RunSummary();
    std::vector<std::string> media;
    for (const auto& medium : summary.media) media.push_back(RecordLine(medium));
    return TJsonObject()
        .Number("format", kJsonFormat)
        .String("command", command)
        .String("outcome", OutcomeWord(code))
        .Number("exitCode", unsigned(code))
        .String("record", summary.record)
        .Raw("media", JsonArray(media))
        .Text();
}

}  // namespace bootdisk::cli
