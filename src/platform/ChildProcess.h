// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A child process of the host's command interpreter, or a program of its own, with its standard
// streams on pipes.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bootdisk {

class TChildProcess {
public:
    enum class EStart : std::uint8_t { NoPipes = 0, NoProcess = 1, Running = 2 };

    TChildProcess();
    // Ends a child that still runs, reaps it and closes every pipe end.
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // Runs `interpreter /c command`, hidden, standard output and error on one pipe. lastError
    // receives the host's error code of the attempt (0 on success).
    EStart Start(const std::string& interpreter, const std::string& command, std::uint32_t& lastError);
    // Runs the program words[0] (a path) with the other words as its arguments, hidden, standard
    // output and error on one pipe.
    EStart StartProgram(const std::vector<std::string>& words, std::uint32_t& lastError);

    // Does not block; false while the child runs or when it never started.
    bool Finished();
    // The child's exit code once Finished (a signalled child reports 128 + signal number).
    std::uint32_t ExitCode() const;
    // What the child has written so far, waiting at most `wait` for the first byte.
    std::string ReadAvailable(std::chrono::milliseconds wait);
    bool Write(const std::string& text);
    // Waits at most `limit` for the child to end; true when it has.
    bool WaitFor(std::chrono::milliseconds limit);
    // Ends the child and whatever it started, and reaps it.
    void Kill();

private:
#ifdef _WIN32
    EStart StartCommandLine(const std::string& text, std::uint32_t& lastError);
#endif
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};

}  // namespace bootdisk
