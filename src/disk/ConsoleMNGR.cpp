// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/ConsoleMNGR.h"

#include <string_view>

namespace bootdisk {

namespace {

constexpr std::string_view kWhitespace = "\t\n\r ";

std::string Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kWhitespace);
    return std::string(text.substr(first, last - first + 1));
}

// Length of the first line of buffer with its carriage return, 0 when none is complete.
std::size_t FirstLineLength(const std::string& buffer)
{
    const auto cr = buffer.find('\r');
    return cr == std::string::npos ? 0 : cr + 1;
}

}  // namespace

void TConsoleApp::Create(const std::string& comspec, const std::string& command)
{
    OutputBuffer.clear();
    CommandLine = comspec + " /c " + command;
    State = static_cast<std::uint8_t>(process_.Start(comspec, command, LastError));
}

bool TConsoleApp::Finished() { return State == 2 && process_.Finished(); }

void TConsoleApp::ReadAvailable(std::string& text, std::chrono::milliseconds wait)
{
    text = process_.ReadAvailable(wait);
}

void TConsoleApp::SendInput(const std::string& text) { process_.Write(text); }

bool TConsoleApp::ReadOutput()
{
    std::string text;
    ReadAvailable(text);
    OutputBuffer += text;
    return !OutputBuffer.empty();
}

void TConsoleApp::DrainOutput()
{
    for (std::string text;;) {
        ReadAvailable(text, std::chrono::milliseconds(0));
        if (text.empty()) return;
        OutputBuffer += text;
    }
}

void TConsoleApp::TakeLine(std::string& line)
{
    const std::size_t length = FirstLineLength(OutputBuffer);
    line = Trimmed(std::string_view(OutputBuffer).substr(0, length));
    OutputBuffer.erase(0, length);
}

void TConsoleApp::PeekLine(std::string& line) const
{
    const std::size_t length = FirstLineLength(OutputBuffer);
    line = Trimmed(length == 0 ? std::string_view(OutputBuffer)
                               : std::string_view(OutputBuffer).substr(0, length));
}

void TConsoleApp::DropLine()
{
    const auto cr = OutputBuffer.find('\r');
    if (cr == std::string::npos)
        OutputBuffer.clear();
    else
        OutputBuffer.erase(cr, 1);
}

}  // namespace bootdisk
