// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RecordFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/Errors.h"
#include "platform/Host.h"

namespace bootdisk {
namespace {

[[noreturn]] void ThrowSystemError(const std::string& path, int error) {
    const auto reason = SystemErrorText(std::uint32_t(error));
    throw EStreamError("Cannot add to the record " + path + ": " + reason, reason);
}

// The folders above path, made private to the user as the state folders are.
void MakeFolders(const std::string& path) {
    for (auto slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const auto folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) ThrowSystemError(path, errno);
    }
}

}  // namespace

std::string DefaultRecordPath() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return std::string(state) + "/bootdisk/media.jsonl";
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return std::string(home) + "/.local/state/bootdisk/media.jsonl";
    return {};
}

void AppendRecordLine(const std::string& path, std::string_view line) {
    MakeFolders(path);
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) ThrowSystemError(path, errno);
    std::string whole(line);
    whole += '\n';
    ssize_t written;
    do written = write(fd, whole.data(), whole.size());
    while (written < 0 && errno == EINTR);
    const int error = written < 0 ? errno : ENOSPC;
    const bool synced = written == ssize_t(whole.size()) && fsync(fd) == 0;
    const int syncError = errno;
    close(fd);
    if (written != ssize_t(whole.size())) ThrowSystemError(path, error);
    if (!synced) ThrowSystemError(path, syncError);
}

}  // namespace bootdisk
