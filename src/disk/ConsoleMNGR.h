// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A console program run by the command interpreter, its output taken line by line.
#include <chrono>
#include <cstdint>
#include <string>

#include "platform/ChildProcess.h"

namespace bootdisk {

class TConsoleApp {
public:
    // How long one read waits for the child to say something, so polling does not spin.
    static constexpr std::chrono::milliseconds kPollWait{10};

    // Starts `comspec /c command`; the outcome is in State and LastError.
    void Create(const std::string& comspec, const std::string& command);

    bool Finished();
    std::uint32_t ExitCode() const { return process_.ExitCode(); }
    void ReadAvailable(std::string& text, std::chrono::milliseconds wait = kPollWait);
    void SendInput(const std::string& text);
    bool ReadOutput();
    // Appends everything still in the pipe, for a child that has ended.
    void DrainOutput();
    void TakeLine(std::string& line);
    void PeekLine(std::string& line) const;
    void DropLine();
    bool WaitFor(std::chrono::milliseconds limit) { return process_.WaitFor(limit); }
    void Kill() { process_.Kill(); }

    std::uint8_t State = 0;  // 0 = no pipes, 1 = not started, 2 = running (or ran)
    std::string CommandLine;
    std::uint32_t LastError = 0;
    std::string OutputBuffer;

private:
    TChildProcess process_;
};

}  // namespace bootdisk
