// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/WinFormat.h"

#include "base/Text.h"
#include "disk/ConsoleMNGR.h"
#include "platform/HostSystem.h"

namespace bootdisk {

namespace {

bool Contains(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }

// The leading integer of text: optional sign, then digits up to the first non-digit.
int LeadingInteger(const std::string& text)
{
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 1000000; ++i)
        value = value * 10 + (text[i] - '0');
    return static_cast<int>(negative ? -value : value);
}

int PercentOf(const std::string& line)
{
    const auto start = line.find_first_not_of("\t\n\r ");
    if (start == std::string::npos) return 0;
    const std::string word = line.substr(start);
    return LeadingInteger(word.substr(0, word.find(' ')));
}

class TFormatRun {
public:
    TFormatRun(TConsoleApp& app, const FormatProgress& callback, double divisor)
        : app_(app), callback_(callback), divisor_(divisor)
    {
    }

    // One line (or the unterminated tail) of output: progress, classification, answers.
    void Consume(bool childListens)
    {
        const std::size_t before = app_.OutputBuffer.size();
        std::string raw;
        app_.TakeLine(raw);
        const std::string line = UpperAnsi(raw);
        if (Contains(line, "PERCENT")) fraction_ = PercentOf(line) / divisor_;
        Report(raw, fraction_);
        if (raw.empty()) app_.PeekLine(raw);
        const std::string upper = UpperAnsi(raw);
        if (Contains(upper, "NOT READY")) result_ = 1;
        if (Contains(upper, "BAD SECTOR")) result_ = 2;
        if (Contains(upper, "ERROR")) result_ = 1;
        if (!childListens) {
            // Nobody answers any more: an unterminated tail is done with once classified.
            if (app_.OutputBuffer.size() == before) app_.OutputBuffer.clear();
            return;
        }
        if (Contains(upper, "ENTER")) {
            Report(raw, fraction_);
            app_.DropLine();
            app_.SendInput("\r\n");
        }
        if (Contains(upper, "Y/N")) {
            Report(raw, fraction_);
            app_.DropLine();
            app_.SendInput(Contains(upper, "DISMOUNT") ? "y\r\n" : "n\r\n");
        }
    }

    void Report(const std::string& text, double fraction) const
    {
        if (callback_) callback_(text, fraction);
    }

    double Fraction() const { return fraction_; }
    std::uint8_t Result() const { return result_; }

private:
    TConsoleApp& app_;
    const FormatProgress& callback_;
    double divisor_;
    double fraction_ = 0.0;
    std::uint8_t result_ = 3;
};

}  // namespace

TFormatHost DefaultFormatHost()
{
    TFormatHost host;
    // Windows matches the name in any case; other hosts are asked both ways.
    auto comspec = RealHost().Environment("comspec");
    if (!comspec) comspec = RealHost().Environment("COMSPEC");
    if (comspec) host.Comspec = *comspec;
    return host;
}

std::uint8_t RunFormat(char Drive, bool WithSystem, const FormatProgress& Callback, const TFormatHost& host)
{
    std::string command = std::string("format ") + Drive + ": /u";
    if (WithSystem) command += " /s";
    const double divisor = WithSystem ? 120.0 : 100.0;

    TConsoleApp app;
    app.Create(host.Comspec, command);
    if (app.State != 2) return 0;

    TFormatRun run(app, Callback, divisor);
    const auto deadline = std::chrono::steady_clock::now() + host.TimeLimit;
    while (!app.Finished()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            app.Kill();
            return 1;
        }
        run.Report("", run.Fraction());
        if (!app.ReadOutput()) continue;
        run.Consume(true);
    }
    // What the child wrote just before it ended still counts.
    app.DrainOutput();
    while (!app.OutputBuffer.empty()) run.Consume(false);
    if (app.ExitCode() != 0) return 1;
    run.Report("", 1.0);
    return run.Result();
}

}  // namespace bootdisk
