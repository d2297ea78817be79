#include "base/PendingFile.h"

#include <filesystem>
#include <random>

#include "base/Errors.h"
#include "base/Streams.h"

namespace bootdisk {

namespace fs = std::filesystem;

TPendingFile::TPendingFile(std::string target) : target_(std::move(target)) {
    std::random_device random;
    std::error_code ignored;
    do {
        path_ = target_ + ".partial-" + std::to_string(random() % 1'000'000);
    } while (fs::exists(path_, ignored));
}

TPendingFile::~TPendingFile() {
    if (committed_) return;
    std::error_code ignored;
    fs::remove(path_, ignored);
}

void TPendingFile::Commit() {
    std::error_code error;
    fs::rename(path_, target_, error);
    if (error) throw EStreamError("Cannot write " + target_ + ": " + error.message(), error.message());
    committed_ = true;
}

void WriteFileWhole(const std::string& path, std::span<const std::uint8_t> bytes) {
    TPendingFile pending(path);
    {
        TFileStream file(pending.Path(), FileMode::Create);
        file.WriteBuffer(bytes.data(), bytes.size());
        file.Close();
    }
    pending.Commit();
}

}  // namespace bootdisk
