#pragma once
// Output that appears under its name only when it is complete: the bytes go to a fresh scratch
// file beside the target, renamed over it at the end. On failure the target, if it existed, is
// untouched and the scratch file is gone.
#include <cstdint>
#include <span>
#include <string>

namespace bootdisk {

class TPendingFile {
public:
    explicit TPendingFile(std::string target);
    ~TPendingFile();  // removes the scratch file unless committed
    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    // The scratch file to write; a name no other file has.
    const std::string& Path() const { return path_; }
    const std::string& Target() const { return target_; }
    // Renames the scratch file over the target; throws EStreamError with the system's reason.
    void Commit();

private:
    std::string target_;
    std::string path_;
    bool committed_ = false;
};

// Writes bytes as the whole new content of path; throws EStreamError naming the path and reason.
void WriteFileWhole(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace bootdisk
