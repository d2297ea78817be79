// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/PendingFile.h"

#include <algorithm>
#include <atomic>
#include <random>
#include <vector>

namespace bootdisk {
namespace {

#ifdef _WIN32
constexpr std::string_view kSeparators = "/\\";
#else
constexpr std::string_view kSeparators = "/";
#endif

// The command line's name for standard output, which takes no image.
constexpr std::string_view kStandardOutputName = "-";

std::string Description(TPathKind kind) {
    switch (kind) {
        case TPathKind::Directory:
            return "it is a folder";
        case TPathKind::BlockDevice:
            return "it is a block device (a drive), not a file";
        case TPathKind::CharacterDevice:
            return "it is a character device, not a file";
        case TPathKind::Fifo:
            return "it is a FIFO (named pipe), not a file";
        case TPathKind::Socket:
            return "it is a socket, not a file";
        case TPathKind::DanglingLink:
            return "it is a symbolic link to a file that does not exist";
        case TPathKind::DeviceName:
            return "it is under /dev, where the devices are, not files";
        case TPathKind::Regular:
            return "it is a file, not a folder";  // only a folder's target refuses a file
        case TPathKind::Missing:
        case TPathKind::Other:
            break;
    }
    return "it is not a regular file";
}

// The scratch files in hand. Creation and the final rename hold the lock, so a process that
// abandons them while another thread writes leaves none behind. A spin lock, as the Windows builds'
// threading model has no std::mutex and the lock is held only for a rename or a file creation.
struct TScratch {
    std::string path;
    bool folder = false;
};

struct TScratchRegistry {
    std::atomic_flag lock;
    std::vector<TScratch> paths;

    void Lock() {
        while (lock.test_and_set(std::memory_order_acquire)) {
        }
    }
    void Unlock() { lock.clear(std::memory_order_release); }
};

class THold {
public:
    explicit THold(TScratchRegistry& registry) : registry_(registry) { registry_.Lock(); }
    ~THold() { registry_.Unlock(); }
    THold(const THold&) = delete;
    THold& operator=(const THold&) = delete;

private:
    TScratchRegistry& registry_;
};

TScratchRegistry& Registry() {
    static TScratchRegistry registry;
    return registry;
}

void Forget(std::vector<TScratch>& paths, const std::string& path) {
    paths.erase(std::remove_if(paths.begin(), paths.end(), [&](const TScratch& s) { return s.path == path; }),
                paths.end());
}

void RemoveScratch(const TScratch& scratch) {
    if (scratch.folder)
        RemoveTreeQuietly(scratch.path);
    else
        RemoveFileQuietly(scratch.path);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The first entry of folder (at prefix inside the target) that own does not name.
std::optional<std::string> ForeignEntry(const std::string& folder, const std::string& prefix,
                                        const std::vector<std::string>& own) {
    for (const auto& name : FolderNames(folder)) {
        const auto relative = prefix + name;
        if (std::find(own.begin(), own.end(), relative) == own.end()) return relative;
        if (InspectPath(folder + "/" + name).kind != TPathKind::Directory) continue;
        if (auto inner = ForeignEntry(folder + "/" + name, relative + "/", own)) return inner;
    }
    return std::nullopt;
}



std::string ScratchName() {
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string name(kScratchPrefix);
    for (int i = 0; i < 6; ++i) name += kLetters[random() % kLetters.size()];
    return name;
}

}  // namespace

ERefusedOutput::ERefusedOutput(const std::string& name, TPathKind kind)
    : ERefusedOutput(name, kind, Description(kind)) {}

ERefusedOutput::ERefusedOutput(const std::string& name, TPathKind kind, const std::string& why)
    : EStreamError("Cannot write " + name + ": " + why, why), kind_(kind) {}

std::string CheckOutputTarget(const std::string& name) {
    if (name == kStandardOutputName)
        throw ERefusedOutput(name, TPathKind::Other, "'-' would be standard output, which takes no image; name a file");
    const auto info = InspectPath(name);
    if (info.kind != TPathKind::Missing && info.kind != TPathKind::Regular) throw ERefusedOutput(name, info.kind);
    return info.path;
}

std::string CheckFolderTarget(const std::string& name, const std::vector<std::string>& own) {
    const auto info = InspectPath(name);
    if (info.kind == TPathKind::Missing) return info.path;
    if (info.kind != TPathKind::Directory) throw ERefusedOutput(name, info.kind);
    if (const auto foreign = ForeignEntry(info.path, "", own))
        throw ERefusedOutput(name, info.kind,
                             "it is a folder holding other files (" + *foreign + "); name a new or empty folder");
    return info.path;
}

TPendingFile::TPendingFile(std::string target) : target_(std::move(target)) {
    destination_ = CheckOutputTarget(target_);
    const auto folder = FolderOf(destination_);
    auto& registry = Registry();
    const THold hold(registry);
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        scratch_ = folder + ScratchName();
        if (auto created = TNewFile::Create(scratch_)) file_.emplace(std::move(*created));
    }
    if (!file_) throw EStreamError("Cannot write " + target_ + ": no free scratch file name", "no free scratch file name");
    registry.paths.push_back({scratch_});
}

TPendingFile::~TPendingFile() {
    if (committed_) return;
    file_.reset();
    auto& registry = Registry();
    const THold hold(registry);
    RemoveFileQuietly(scratch_);
    Forget(registry.paths, scratch_);
}

std::size_t TPendingFile::Write(const void* data, std::size_t count) {
    file_->Write(data, count);
    written_ += count;
    return count;
}

void TPendingFile::SetPosition(std::uint64_t position) {
    if (position != written_) throw EStreamError("Cannot seek in " + target_);
}

void TPendingFile::Commit() {
    file_->Close();
    auto& registry = Registry();
    const THold hold(registry);
    // The name may have become something else while the file was written.
    const auto info = InspectPath(target_);
    if (info.kind != TPathKind::Missing && info.kind != TPathKind::Regular) throw ERefusedOutput(target_, info.kind);
    PutFileInPlace(scratch_, info.path);
    Forget(registry.paths, scratch_);
    committed_ = true;
}

void WriteFileWhole(const std::string& path, std::span<const std::uint8_t> bytes) {
    TPendingFile pending(path);
    pending.Write(bytes.data(), bytes.size());
    pending.Commit();
}

TPendingFolder::TPendingFolder(std::string target, std::vector<std::string> own)
    : target_(std::move(target)), own_(std::move(own)) {
    const auto folder = FolderOf(CheckFolderTarget(target_, own_));
    auto& registry = Registry();
    const THold hold(registry);
    for (int attempt = 0; attempt < 100 && scratch_.empty(); ++attempt)
        if (const auto name = folder + ScratchName(); CreateNewFolder(name)) scratch_ = name;
    if (scratch_.empty())
        throw EStreamError("Cannot write " + target_ + ": no free scratch folder name", "no free scratch folder name");
    registry.paths.push_back({scratch_, true});
}

TPendingFolder::~TPendingFolder() {
    if (committed_) return;
    auto& registry = Registry();
    const THold hold(registry);
    RemoveTreeQuietly(scratch_);
    Forget(registry.paths, scratch_);
}

void TPendingFolder::MakeFolder(const std::string& relative) {
    if (!CreateNewFolder(scratch_ + "/" + relative))
        throw EStreamError("Cannot write " + target_ + ": " + relative + " is there twice", "a name is there twice");
}

void TPendingFolder::WriteFile(const std::string& relative, std::span<const std::uint8_t> bytes) {
    auto file = TNewFile::Create(scratch_ + "/" + relative);
    if (!file) throw EStreamError("Cannot write " + target_ + ": " + relative + " is there twice", "a name is there twice");
    file->Write(bytes.data(), bytes.size());
    file->Close();
}

void TPendingFolder::Commit() {
    auto& registry = Registry();
    const THold hold(registry);
    // Files may have come into the target while the folder was written: they are never replaced.
    PutFolderInPlace(scratch_, CheckFolderTarget(target_, own_));
    // The scratch name now holds the folder replaced, if there was one, and goes with it.
    RemoveTreeQuietly(scratch_);
    Forget(registry.paths, scratch_);
    committed_ = true;
}

void AbandonScratchFiles() {
    auto& registry = Registry();
    // Held until the process ends: nothing is created or committed after this.
    registry.Lock();
    for (const auto& scratch : registry.paths) RemoveScratch(scratch);
    registry.paths.clear();
}

}  // namespace bootdisk
