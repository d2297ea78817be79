// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace bootdisk {

namespace {

class TFd {
public:
    TFd() = default;
    ~TFd() { Close(); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int& Raw() { return fd_; }
    int Get() const { return fd_; }
    void Close()
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

bool MakePipe(TFd& readEnd, TFd& writeEnd)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    readEnd.Raw() = fds[0];
    writeEnd.Raw() = fds[1];
    return true;
}

class TSpawnActions {
public:
    TSpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~TSpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    TSpawnActions(const TSpawnActions&) = delete;
    TSpawnActions& operator=(const TSpawnActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

class TSpawnAttributes {
public:
    TSpawnAttributes() { posix_spawnattr_init(&attributes_); }
    ~TSpawnAttributes() { posix_spawnattr_destroy(&attributes_); }
    TSpawnAttributes(const TSpawnAttributes&) = delete;
    TSpawnAttributes& operator=(const TSpawnAttributes&) = delete;
    posix_spawnattr_t* Get() { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

}  // namespace

struct TChildProcess::TImpl {
    TFd input;   // parent's writing end of the child's standard input
    TFd output;  // parent's reading end of the child's standard output and error
    pid_t pid = -1;
    bool reaped = false;
    std::uint32_t exitCode = 0;

    void Record(int status)
    {
        reaped = true;
        exitCode = WIFEXITED(status) ? static_cast<std::uint32_t>(WEXITSTATUS(status))
                                     : 128U + static_cast<std::uint32_t>(WTERMSIG(status));
    }
};

TChildProcess::TChildProcess() : impl_(std::make_unique<TImpl>()) {}

TChildProcess::~TChildProcess()
{
    if (impl_->pid > 0 && !impl_->reaped) Kill();
}

TChildProcess::EStart TChildProcess::Start(
    const std::string& interpreter, const std::string& command, std::uint32_t& lastError)
{
    return StartProgram({interpreter, "/c", command}, lastError);
}

TChildProcess::EStart TChildProcess::StartProgram(const std::vector<std::string>& words, std::uint32_t& lastError)
{
    TFd childInput, childOutput;
    if (!MakePipe(childInput, impl_->input)) {
        lastError = static_cast<std::uint32_t>(errno);
        return EStart::NoPipes;
    }
    if (!MakePipe(impl_->output, childOutput)) {
        lastError = static_cast<std::uint32_t>(errno);
        impl_->input.Close();
        return EStart::NoPipes;
    }
    TSpawnActions actions;
    posix_spawn_file_actions_adddup2(actions.Get(), childInput.Get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(actions.Get(), childOutput.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(actions.Get(), childOutput.Get(), STDERR_FILENO);
    // A group of its own, so that ending the child also ends what it started.
    TSpawnAttributes attributes;
    posix_spawnattr_setflags(attributes.Get(), POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(attributes.Get(), 0);

    std::vector<std::string> copies = words;
    std::vector<char*> argv;
    for (auto& word : copies) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int rc = ::posix_spawn(&impl_->pid, copies.front().c_str(), actions.Get(), attributes.Get(), argv.data(),
                                 environ);
    lastError = static_cast<std::uint32_t>(rc);
    if (rc != 0) {
        impl_->pid = -1;
        impl_->input.Close();
        impl_->output.Close();
        return EStart::NoProcess;
    }
    return EStart::Running;
}

bool TChildProcess::Finished()
{
    if (impl_->pid <= 0) return false;
    if (impl_->reaped) return true;
    int status = 0;
    if (::waitpid(impl_->pid, &status, WNOHANG) == impl_->pid) impl_->Record(status);
    return impl_->reaped;
}

std::uint32_t TChildProcess::ExitCode() const { return impl_->exitCode; }

std::string TChildProcess::ReadAvailable(std::chrono::milliseconds wait)
{
    if (impl_->output.Get() < 0) return {};
    pollfd entry{impl_->output.Get(), POLLIN, 0};
    if (::poll(&entry, 1, static_cast<int>(wait.count())) <= 0) return {};
    int waiting = 0;
    if (::ioctl(impl_->output.Get(), FIONREAD, &waiting) != 0 || waiting <= 0) return {};
    std::string text(static_cast<std::size_t>(waiting), '\0');
    const ssize_t got = ::read(impl_->output.Get(), text.data(), text.size());
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

bool TChildProcess::Write(const std::string& text)
{
    if (impl_->input.Get() < 0) return false;
    // A child that has gone must not end this program through SIGPIPE.
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    std::size_t done = 0;
    bool broken = false;
    while (done < text.size()) {
        const ssize_t n = ::write(impl_->input.Get(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            broken = errno == EPIPE;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (broken) {
        const timespec none{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return done == text.size();
}

bool TChildProcess::WaitFor(std::chrono::milliseconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!Finished()) {
        if (impl_->pid <= 0 || std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void TChildProcess::Kill()
{
    if (impl_->pid <= 0 || impl_->reaped) return;
    ::kill(-impl_->pid, SIGKILL);
    int status = 0;
    while (::waitpid(impl_->pid, &status, 0) < 0 && errno == EINTR) {
    }
    impl_->Record(status);
}

}  // namespace bootdisk
