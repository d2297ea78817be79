// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ChildProcess.h"

#include <windows.h>

#include "platform/win32/Utf8.h"

namespace bootdisk {

namespace {

class THandle {
public:
    THandle() = default;
    ~THandle() { Close(); }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HANDLE& Raw() { return handle_; }
    HANDLE Get() const { return handle_; }
    void Close()
    {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

constexpr DWORD kUseShowWindowAndHandles = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;

// Job objects exist only on the NT family, so they are looked up rather than imported.
template <typename Function>
Function Kernel32(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

using CreateJobFunction = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCSTR);
using AssignJobFunction = BOOL(WINAPI*)(HANDLE, HANDLE);
using TerminateJobFunction = BOOL(WINAPI*)(HANDLE, UINT);

HANDLE JobHolding(HANDLE process)
{
    const auto createJob = Kernel32<CreateJobFunction>("CreateJobObjectA");
    const auto assign = Kernel32<AssignJobFunction>("AssignProcessToJobObject");
    if (createJob == nullptr || assign == nullptr) return nullptr;
    HANDLE job = createJob(nullptr, nullptr);
    if (job != nullptr && !assign(job, process)) {
        CloseHandle(job);
        job = nullptr;
    }
    return job;
}

bool TerminateJob(HANDLE job)
{
    const auto terminate = Kernel32<TerminateJobFunction>("TerminateJobObject");
    return job != nullptr && terminate != nullptr && terminate(job, 1);
}

}  // namespace

struct TChildProcess::TImpl {
    THandle input;   // parent's writing end of the child's standard input
    THandle output;  // parent's reading end of the child's standard output and error
    THandle process;
    THandle job;  // holds what the interpreter starts, so ending it ends `format` too; absent on 9x
    bool finished = false;
    std::uint32_t exitCode = 0;
};

TChildProcess::TChildProcess() : impl_(std::make_unique<TImpl>()) {}

TChildProcess::~TChildProcess()
{
    if (impl_->process.Get() != nullptr && !Finished()) Kill();
}

namespace {

// One word of a command line as the C runtime splits it again: in quotes, with the backslashes
// before a quote doubled.
std::string QuotedWord(const std::string& word)
{
    if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos) return word;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

}  // namespace

TChildProcess::EStart TChildProcess::StartProgram(const std::vector<std::string>& words, std::uint32_t& lastError)
{
    std::string commandLine;
    for (const auto& word : words) commandLine.append(commandLine.empty() ? "" : " ").append(QuotedWord(word));
    return StartCommandLine(commandLine, lastError);
}

TChildProcess::EStart TChildProcess::Start(
    const std::string& interpreter, const std::string& command, std::uint32_t& lastError)
{
    return StartCommandLine(interpreter + " /c " + command, lastError);
}

TChildProcess::EStart TChildProcess::StartCommandLine(const std::string& text, std::uint32_t& lastError)
{
    SECURITY_ATTRIBUTES security{};
    security.nLength = sizeof(security);
    security.lpSecurityDescriptor = nullptr;
    security.bInheritHandle = TRUE;

    THandle childInput, childOutput;
    if (!CreatePipe(&childInput.Raw(), &impl_->input.Raw(), &security, 0)) {
        lastError = GetLastError();
        return EStart::NoPipes;
    }
    if (!CreatePipe(&impl_->output.Raw(), &childOutput.Raw(), &security, 0)) {
        lastError = GetLastError();
        impl_->input.Close();
        return EStart::NoPipes;
    }
    // Only the child's ends are to be inherited.
    SetHandleInformation(impl_->input.Get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(impl_->output.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    startup.dwFlags = kUseShowWindowAndHandles;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = childOutput.Get();
    startup.hStdError = childOutput.Get();
    startup.hStdInput = childInput.Get();

    PROCESS_INFORMATION info{};
    std::wstring commandLine = Widen(text);
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NEW_CONSOLE | CREATE_SUSPENDED, nullptr, nullptr, &startup,
                                        &info);
    lastError = GetLastError();
    if (!started) {
        impl_->input.Close();
        impl_->output.Close();
        return EStart::NoProcess;
    }
    lastError = 0;
    impl_->job.Raw() = JobHolding(info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    impl_->process.Raw() = info.hProcess;
    return EStart::Running;
}

bool TChildProcess::Finished()
{
    if (impl_->process.Get() == nullptr) return false;
    if (impl_->finished) return true;
    DWORD code = 0;
    if (GetExitCodeProcess(impl_->process.Get(), &code) && code != STILL_ACTIVE) {
        impl_->finished = true;
        impl_->exitCode = code;
    }
    return impl_->finished;
}

std::uint32_t TChildProcess::ExitCode() const { return impl_->exitCode; }

std::string TChildProcess::ReadAvailable(std::chrono::milliseconds wait)
{
    if (impl_->output.Get() == nullptr) return {};
    const DWORD start = GetTickCount();
    DWORD waiting = 0;
    while (PeekNamedPipe(impl_->output.Get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting == 0) {
        if (GetTickCount() - start >= static_cast<DWORD>(wait.count())) return {};
        Sleep(1);
    }
    if (waiting == 0) return {};
    std::string text(waiting, '\0');
    DWORD got = 0;
    if (!ReadFile(impl_->output.Get(), text.data(), waiting, &got, nullptr)) got = 0;
    text.resize(got);
    return text;
}

bool TChildProcess::Write(const std::string& text)
{
    if (impl_->input.Get() == nullptr) return false;
    DWORD written = 0;
    return WriteFile(impl_->input.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

bool TChildProcess::WaitFor(std::chrono::milliseconds limit)
{
    if (impl_->process.Get() == nullptr) return false;
    WaitForSingleObject(impl_->process.Get(), static_cast<DWORD>(limit.count()));
    return Finished();
}

void TChildProcess::Kill()
{
    if (impl_->process.Get() == nullptr || Finished()) return;
    if (!TerminateJob(impl_->job.Get())) TerminateProcess(impl_->process.Get(), 1);
    WaitForSingleObject(impl_->process.Get(), INFINITE);
    Finished();
}

}  // namespace bootdisk
