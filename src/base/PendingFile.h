// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Output that appears under its name only when it is complete: the bytes go to a scratch file
// created new beside the target, renamed over it at the end. On failure the target, if it existed,
// is untouched and the scratch file is gone. Only a regular file or a new name is ever replaced: a
// symbolic link to a regular file is written through and stays a link.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Errors.h"
#include "base/Streams.h"
#include "platform/OutputFile.h"

namespace bootdisk {

// Scratch file names begin with this; the rest is short, so a target of the longest name the
// file system allows still has a scratch file beside it.
inline constexpr std::string_view kScratchPrefix = ".bootdisk-";

// A target that is not a regular file or a new name: "-", a device, a name among the devices, a
// FIFO, a folder, a link to nothing.
class ERefusedOutput : public EStreamError {
public:
    ERefusedOutput(const std::string& name, TPathKind kind);
    ERefusedOutput(const std::string& name, TPathKind kind, const std::string& why);
    TPathKind Kind() const { return kind_; }

private:
    TPathKind kind_;
};

// Where the bytes for name would go; throws ERefusedOutput when name may not be written as a file.
std::string CheckOutputTarget(const std::string& name);

// Where a folder for name would go (see TPendingFolder); throws ERefusedOutput when name may not be
// written as such a folder.
std::string CheckFolderTarget(const std::string& name, const std::vector<std::string>& own);

// Written front to back: it reads nothing and cannot seek.
class TPendingFile : public TStream {
public:
    // Throws ERefusedOutput for a target that may not be written, EStreamError when no scratch
    // file can be created.
    explicit TPendingFile(std::string target);
    ~TPendingFile() override;  // removes the scratch file unless committed
    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    const std::string& Target() const { return target_; }
    std::size_t Read(void*, std::size_t) override { return 0; }
    // Moves every byte or throws EStreamError with the system's reason.
    std::size_t Write(const void* data, std::size_t count) override;
    std::uint64_t Position() const override { return written_; }
    void SetPosition(std::uint64_t position) override;
    std::uint64_t Size() const override { return written_; }
    // Puts the finished file in the target's place; throws EStreamError with the system's reason.
    void Commit();

private:
    std::string target_;
    std::string destination_;  // the target, or the file its link leads to
    std::string scratch_;
    std::optional<TNewFile> file_;
    std::uint64_t written_ = 0;
    bool committed_ = false;
};

// Writes bytes as the whole new content of path; throws EStreamError naming the path and reason.
void WriteFileWhole(const std::string& path, std::span<const std::uint8_t> bytes);

// A folder that appears under its name only when complete: its files go into a scratch folder
// created new beside the target, which takes the target's name at the end. The target may be a new
// name, an empty folder, or a folder holding only the entries named in own (relative paths with
// "/", such as an earlier run left), which the new folder then replaces whole. Anything else is
// refused before any work and again just before the replacement, so no other file is ever lost.
class TPendingFolder {
public:
    // Throws ERefusedOutput for a target that is not a folder or holds other entries,
    // EStreamError when no scratch folder can be created.
    TPendingFolder(std::string target, std::vector<std::string> own);
    ~TPendingFolder();  // removes the scratch folder unless committed
    TPendingFolder(const TPendingFolder&) = delete;
    TPendingFolder& operator=(const TPendingFolder&) = delete;

    const std::string& Target() const { return target_; }
    // A folder inside, at a relative path with "/"; throws EStreamError.
    void MakeFolder(const std::string& relative);
    // A file inside, written whole and flushed; throws EStreamError.
    void WriteFile(const std::string& relative, std::span<const std::uint8_t> bytes);
    // Puts the finished folder in the target's place; throws EStreamError with the system's reason.
    void Commit();

private:
    std::string target_;
    std::vector<std::string> own_;
    std::string scratch_;
    bool committed_ = false;
};

// Removes every scratch file and folder in hand and lets no other be created or committed, for a process
// that is about to end.
void AbandonScratchFiles();

}  // namespace bootdisk
