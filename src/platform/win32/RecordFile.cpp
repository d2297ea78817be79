// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>
#include <shlobj.h>

#include "base/Errors.h"
#include "platform/Host.h"
#include "platform/RecordFile.h"
#include "platform/win32/Utf8.h"

namespace bootdisk {
namespace {

[[noreturn]] void ThrowSystemError(const std::string& path, DWORD error) {
    const auto reason = SystemErrorText(error);
    throw EStreamError("Cannot add to the record " + path + ": " + reason, reason);
}

void MakeFolders(const std::wstring& path) {
    // Either slash separates folders on Windows.
    for (auto slash = path.find_first_of(L"\\/", 3); slash != std::wstring::npos;
         slash = path.find_first_of(L"\\/", slash + 1)) {
        const auto folder = path.substr(0, slash);
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            ThrowSystemError(Narrow(path), GetLastError());
    }
}

}  // namespace

std::string DefaultRecordPath() {
    wchar_t folder[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return {};
    return Narrow(folder) + "\\bootdisk\\media.jsonl";
}

void AppendRecordLine(const std::string& path, std::string_view line) {
    const auto wide = Widen(path);
    MakeFolders(wide);
    // Appending through FILE_APPEND_DATA alone puts each write whole at the end, whoever else appends.
    const HANDLE file = CreateFileW(wide.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) ThrowSystemError(path, GetLastError());
    std::string whole(line);
    whole += '\n';
    DWORD written = 0;
    const bool wrote = WriteFile(file, whole.data(), DWORD(whole.size()), &written, nullptr) && written == whole.size();
    const DWORD error = wrote ? 0 : (GetLastError() ? GetLastError() : ERROR_DISK_FULL);
    const bool flushed = wrote && FlushFileBuffers(file);
    const DWORD flushError = GetLastError();
    CloseHandle(file);
    if (!wrote) ThrowSystemError(path, error);
    if (!flushed) ThrowSystemError(path, flushError);
}

}  // namespace bootdisk
