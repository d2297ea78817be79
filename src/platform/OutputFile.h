// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The host's file calls an output file needs: what a name stands for, a file created new without
// following links, and the rename that puts a finished file in place. Names are UTF-8.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bootdisk {

// DeviceName: where the system keeps its devices (under /dev), which never takes a file.
enum class TPathKind {
    Missing, Regular, Directory, BlockDevice, CharacterDevice, Fifo, Socket, DanglingLink, DeviceName, Other
};

struct TPathInfo {
    TPathKind kind = TPathKind::Missing;
    // Where writes to the name land: the name itself, or the file a symbolic link leads to.
    std::string path;
};

// Never throws: a name that cannot be examined reads as missing, and creating it then fails with
// the system's reason.
TPathInfo InspectPath(const std::string& name);

// A file created new (never an existing one, never through a link), open for writing.
class TNewFile {
public:
    // Nothing when the name is taken, by a dangling link too; throws EStreamError with the
    // system's reason for any other failure.
    static std::optional<TNewFile> Create(const std::string& path);
    TNewFile(TNewFile&& other) noexcept;
    TNewFile& operator=(TNewFile&&) = delete;
    ~TNewFile();  // closes without waiting for the medium

    // Throws EStreamError naming the file and the system's reason.
    void Write(const void* data, std::size_t count);
    // Waits until the bytes are on the medium, then closes; throws EStreamError.
    void Close();

private:
    TNewFile(std::intptr_t handle, std::string path) : handle_(handle), path_(std::move(path)) {}
    std::intptr_t handle_;
    std::string path_;
};

// Puts the file from in the place of to, replacing a file there; throws EStreamError. A replaced
// file's permission bits pass to the new one, and its owner where the user may give files away
// (on Windows the new file keeps what its folder gives it).
void PutFileInPlace(const std::string& from, const std::string& to);
// Removes a file; a failure is not reported (the caller is cleaning up).
void RemoveFileQuietly(const std::string& path) noexcept;

// Creates a folder new (never an existing name, never through a link): false when the name is
// taken; throws EStreamError with the system's reason for any other failure.
bool CreateNewFolder(const std::string& path);
// The names a folder holds; throws EStreamError.
std::vector<std::string> FolderNames(const std::string& path);
// Gives the folder from the name to. A folder already there is not merged: it ends up under the
// name from, for the caller to remove. Throws EStreamError, both folders then where they were.
void PutFolderInPlace(const std::string& from, const std::string& to);
// Removes a folder and all it holds, following no link; a failure is not reported.
void RemoveTreeQuietly(const std::string& path) noexcept;

}  // namespace bootdisk
