// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OutputFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "base/Errors.h"
#include "platform/Host.h"

namespace bootdisk {
namespace {

TPathKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return TPathKind::Regular;
    if (S_ISDIR(mode)) return TPathKind::Directory;
    if (S_ISBLK(mode)) return TPathKind::BlockDevice;
    if (S_ISCHR(mode)) return TPathKind::CharacterDevice;
    if (S_ISFIFO(mode)) return TPathKind::Fifo;
    if (S_ISSOCK(mode)) return TPathKind::Socket;
    return TPathKind::Other;
}

[[noreturn]] void ThrowSystemError(const std::string& what, int error) {
    const auto reason = SystemErrorText(std::uint32_t(error));
    throw EStreamError(what + ": " + reason, reason);
}

}  // namespace

namespace {

TPathInfo Inspect(const std::string& name) {
    struct stat status {};
    if (lstat(name.c_str(), &status) != 0) return {TPathKind::Missing, name};
    if (!S_ISLNK(status.st_mode)) return {KindOf(status.st_mode), name};
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(name.c_str(), nullptr), &std::free);
    if (!resolved || stat(resolved.get(), &status) != 0) return {TPathKind::DanglingLink, name};
    return {KindOf(status.st_mode), resolved.get()};
}

// Whether name, its folders' links followed, lies in /dev.
bool UnderDev(const std::string& name) {
    std::error_code error;
    auto full = std::filesystem::absolute(name, error).lexically_normal();
    if (auto canonical = std::filesystem::weakly_canonical(full, error); !error) full = std::move(canonical);
    const auto text = full.string();
    return text == "/dev" || text.starts_with("/dev/");
}

}  // namespace

TPathInfo InspectPath(const std::string& name) {
    auto info = Inspect(name);
    // /dev/sdb.ISO would be a file beside the drives, where nobody looks for an image.
    if ((info.kind == TPathKind::Missing || info.kind == TPathKind::Regular) && UnderDev(info.path))
        info.kind = TPathKind::DeviceName;
    return info;
}

std::optional<TNewFile> TNewFile::Create(const std::string& path) {
    // O_EXCL also refuses a link of that name, dangling or not.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) return std::nullopt;
    if (fd < 0) ThrowSystemError("Cannot create " + path, errno);
    return TNewFile(fd, path);
}

TNewFile::TNewFile(TNewFile&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) {
    other.handle_ = -1;
}

TNewFile::~TNewFile() {
    if (handle_ >= 0) close(int(handle_));
}

void TNewFile::Write(const void* data, std::size_t count) {
    const auto* bytes = static_cast<const char*>(data);
    while (count > 0) {
        const auto written = write(int(handle_), bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) ThrowSystemError("Cannot write " + path_, written < 0 ? errno : ENOSPC);
        bytes += written;
        count -= std::size_t(written);
    }
}

void TNewFile::Close() {
    const int fd = int(handle_);
    handle_ = -1;
    const bool synced = fsync(fd) == 0;
    const int error = errno;
    if (close(fd) != 0 && synced) ThrowSystemError("Cannot write " + path_, errno);
    if (!synced) ThrowSystemError("Cannot write " + path_, error);
}

void PutFileInPlace(const std::string& from, const std::string& to) {
    struct stat replaced {};
    if (stat(to.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode)) {
        // The owner first: giving a file away clears bits that chmod then sets. Only root may.
        [[maybe_unused]] const int owned = chown(from.c_str(), replaced.st_uid, replaced.st_gid);
        if (chmod(from.c_str(), replaced.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO)) != 0)
            ThrowSystemError("Cannot write " + to, errno);
    }
    if (rename(from.c_str(), to.c_str()) != 0) ThrowSystemError("Cannot write " + to, errno);
}

void RemoveFileQuietly(const std::string& path) noexcept { unlink(path.c_str()); }

bool CreateNewFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) return true;
    if (errno == EEXIST) return false;
    ThrowSystemError("Cannot create " + path, errno);
}

std::vector<std::string> FolderNames(const std::string& path) {
    const auto close = [](DIR* open) { closedir(open); };
    const std::unique_ptr<DIR, decltype(close)> folder(opendir(path.c_str()), close);
    if (!folder) ThrowSystemError("Cannot read " + path, errno);
    std::vector<std::string> names;
    while (const auto* entry = readdir(folder.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    return names;
}

void PutFolderInPlace(const std::string& from, const std::string& to) {
    struct stat status {};
    // One step, so that a server reading the folder never finds it missing or half replaced.
    if (lstat(to.c_str(), &status) == 0 && renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0)
        return;
    if (rename(from.c_str(), to.c_str()) == 0) return;
    // A file system that cannot exchange two names: the old folder steps aside first.
    if (errno != ENOTEMPTY && errno != EEXIST) ThrowSystemError("Cannot write " + to, errno);
    const auto aside = from + "-old";
    if (rename(to.c_str(), aside.c_str()) != 0) ThrowSystemError("Cannot write " + to, errno);
    if (rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        rename(aside.c_str(), to.c_str());
        ThrowSystemError("Cannot write " + to, error);
    }
    rename(aside.c_str(), from.c_str());
}

void RemoveTreeQuietly(const std::string& path) noexcept {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}  // namespace bootdisk
