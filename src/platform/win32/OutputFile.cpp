// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <filesystem>
#include <string>

#include "base/Errors.h"
#include "platform/Host.h"
#include "platform/OutputFile.h"
#include "platform/win32/Utf8.h"

namespace bootdisk {
namespace {

[[noreturn]] void ThrowSystemError(const std::string& what, DWORD error) {
    const auto reason = SystemErrorText(error);
    throw EStreamError(what + ": " + reason, reason);
}

// "NUL", "COM1", "\\.\PhysicalDrive0" and "\\.\A:" all name devices, which the full path shows.
std::optional<TPathKind> DeviceKind(const std::wstring& name) {
    std::wstring full(MAX_PATH, L'\0');
    const DWORD length = GetFullPathNameW(name.c_str(), DWORD(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return std::nullopt;
    full.resize(length);
    const bool local = full.rfind(L"\\\\.\\", 0) == 0;
    const bool globalRoot = full.rfind(L"\\\\?\\GLOBALROOT", 0) == 0;
    if (!local && !globalRoot) return std::nullopt;
    const auto device = full.substr(4);
    const bool drive = (device.size() == 2 && device[1] == L':') || device.rfind(L"PhysicalDrive", 0) == 0 ||
                       device.rfind(L"PHYSICALDRIVE", 0) == 0 || globalRoot;
    return drive ? TPathKind::BlockDevice : TPathKind::CharacterDevice;
}

using FinalPathFunction = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);

// Symbolic links exist from Vista on, so the call that resolves them is looked up, not imported.
std::optional<std::wstring> LinkTarget(const std::wstring& name) {
    const auto finalPath = reinterpret_cast<FinalPathFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleW")));
    if (finalPath == nullptr) return name;
    const HANDLE handle = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    std::wstring target(32768, L'\0');
    const DWORD length = finalPath(handle, target.data(), DWORD(target.size()), 0);
    CloseHandle(handle);
    if (length == 0 || length >= target.size()) return std::nullopt;
    target.resize(length);
    return target;
}

}  // namespace

TPathInfo InspectPath(const std::string& name) {
    const auto wide = Widen(name);
    if (const auto device = DeviceKind(wide)) return {*device, name};
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {TPathKind::Missing, name};
    std::string path = name;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        const auto target = LinkTarget(wide);
        if (!target) return {TPathKind::DanglingLink, name};
        path = Narrow(*target);
    }
    const DWORD targetAttributes = GetFileAttributesW(Widen(path).c_str());
    if (targetAttributes == INVALID_FILE_ATTRIBUTES) return {TPathKind::DanglingLink, name};
    return {targetAttributes & FILE_ATTRIBUTE_DIRECTORY ? TPathKind::Directory : TPathKind::Regular, path};
}

std::optional<TNewFile> TNewFile::Create(const std::string& path) {
    // CREATE_NEW fails on any existing name, a link included, so nothing is followed. Delete
    // sharing lets an interrupted run remove the scratch file while it is still open.
    const HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return std::nullopt;
        ThrowSystemError("Cannot create " + path, error);
    }
    return TNewFile(reinterpret_cast<std::intptr_t>(handle), path);
}

TNewFile::TNewFile(TNewFile&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) {
    other.handle_ = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
}

TNewFile::~TNewFile() {
    const auto handle = reinterpret_cast<HANDLE>(handle_);
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}

void TNewFile::Write(const void* data, std::size_t count) {
    const auto* bytes = static_cast<const char*>(data);
    while (count > 0) {
        const DWORD chunk = count > 0x10000000 ? 0x10000000 : DWORD(count);
        DWORD written = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(handle_), bytes, chunk, &written, nullptr))
            ThrowSystemError("Cannot write " + path_, GetLastError());
        if (written == 0) ThrowSystemError("Cannot write " + path_, ERROR_DISK_FULL);
        bytes += written;
        count -= written;
    }
}

void TNewFile::Close() {
    const auto handle = reinterpret_cast<HANDLE>(handle_);
    handle_ = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
    const bool flushed = FlushFileBuffers(handle) != 0;
    const DWORD error = GetLastError();
    const bool closed = CloseHandle(handle) != 0;
    if (!flushed) ThrowSystemError("Cannot write " + path_, error);
    if (!closed) ThrowSystemError("Cannot write " + path_, GetLastError());
}

void PutFileInPlace(const std::string& from, const std::string& to) {
    if (!MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowSystemError("Cannot write " + to, GetLastError());
}

void RemoveFileQuietly(const std::string& path) noexcept { DeleteFileW(Widen(path).c_str()); }

bool CreateNewFolder(const std::string& path) {
    if (CreateDirectoryW(Widen(path).c_str(), nullptr)) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return false;
    ThrowSystemError("Cannot create " + path, error);
}

std::vector<std::string> FolderNames(const std::string& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(Widen(path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) ThrowSystemError("Cannot read " + path, GetLastError());
    std::vector<std::string> names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(Narrow(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void PutFolderInPlace(const std::string& from, const std::string& to) {
    const auto wideFrom = Widen(from), wideTo = Widen(to);
    if (GetFileAttributesW(wideTo.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (!MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH))
            ThrowSystemError("Cannot write " + to, GetLastError());
        return;
    }
    // Windows cannot exchange two names: the old folder steps aside first.
    const auto aside = Widen(from + "-old");
    if (!MoveFileExW(wideTo.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH))
        ThrowSystemError("Cannot write " + to, GetLastError());
    if (!MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        MoveFileExW(aside.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH);
        ThrowSystemError("Cannot write " + to, error);
    }
    MoveFileExW(aside.c_str(), wideFrom.c_str(), MOVEFILE_WRITE_THROUGH);
}

void RemoveTreeQuietly(const std::string& path) noexcept {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(Widen(path)), ignored);
}

}  // namespace bootdisk
