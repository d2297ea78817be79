// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DriveFiles.h"

#include <filesystem>
#include <system_error>

#include "base/Errors.h"

namespace bootdisk {
namespace {

namespace fs = std::filesystem;

class THostDriveFiles : public IDriveFiles {
public:
    explicit THostDriveFiles(std::string root) : root_(std::move(root)) {}

    bool MakeFolder(const std::string& path) override {
        if (!StaysBelowRoot(path)) return false;
        std::error_code error;
        fs::create_directories(HostPath(path), error);
        return fs::is_directory(HostPath(path), error);
    }

    bool CreateFile(const std::string& path, TStream& source) override {
        if (!StaysBelowRoot(path)) return false;
        try {
            TFileStream file(HostPath(path).string(), FileMode::Create);
            file.CopyFrom(source, source.Remaining());
            file.Close();
            return true;
        } catch (const EStreamError&) {
            return false;
        }
    }

private:
    fs::path HostPath(std::string relative) const {
        for (auto& c : relative)
            if (c == '\\') c = char(fs::path::preferred_separator);
        return fs::path(root_) / relative;
    }

    std::string root_;
};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool StaysBelowRoot(std::string_view path) {
    if (path.empty() || path.find(':') != std::string_view::npos) return false;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const auto level = path.substr(start, end - start);
        if (level.find_first_not_of(". ") == std::string_view::npos) return false;
        if (end == path.size()) return true;
        start = end + 1;
    }
}

std::unique_ptr<IDriveFiles> CreateHostDriveFiles(std::string root) {
    return std::make_unique<THostDriveFiles>(std::move(root));
}

}  // namespace bootdisk
