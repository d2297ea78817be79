// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sim/SimHost.h"

#include "base/Errors.h"
#include "base/Text.h"

namespace bootdisk {
namespace {

// A stream over a file of the simulated host; what is written lands in the host's file table.
class TSharedStream : public TStream {
public:
    explicit TSharedStream(std::shared_ptr<TMemoryStream> file) : file_(std::move(file)) {}
    std::size_t Read(void* buffer, std::size_t count) override { return file_->Read(buffer, count); }
    std::size_t Write(const void* buffer, std::size_t count) override { return file_->Write(buffer, count); }
    std::uint64_t Position() const override { return file_->Position(); }
    void SetPosition(std::uint64_t position) override { file_->SetPosition(position); }
    std::uint64_t Size() const override { return file_->Size(); }

private:
    std::shared_ptr<TMemoryStream> file_;
};

std::string ResourceKey(const std::string& library, const std::string& name, const std::string& type) {
    return UpperAnsi(library + "|" + name + "|" + type);
}

}  // namespace

void TSimHost::AddFile(const std::string& path, std::vector<std::uint8_t> bytes) {
    files[UpperAnsi(path)] = std::make_shared<TMemoryStream>(std::move(bytes));
}

void TSimHost::AddResource(const std::string& library, const std::string& name, const std::string& type,
                           std::vector<std::uint8_t> bytes) {
    resources[ResourceKey(library, name, type)] = std::move(bytes);
}

std::optional<std::vector<std::uint8_t>> TSimHost::FileBytes(const std::string& path) const {
    const auto found = files.find(UpperAnsi(path));
    if (found == files.end()) return std::nullopt;
    const auto bytes = found->second->Bytes();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::optional<std::string> TSimHost::Environment(const std::string& name) const {
    for (const auto& [key, value] : environment)
        if (SameTextAnsi(key, name)) return value;
    return std::nullopt;
}

std::optional<std::string> TSimHost::FindFile(const std::string& path) const {
    if (files.count(UpperAnsi(path)) == 0) return std::nullopt;
    return path;
}

std::unique_ptr<TStream> TSimHost::OpenRead(const std::string& path) const {
    const auto found = files.find(UpperAnsi(path));
    if (found == files.end()) throw EStreamError("Cannot open " + path + ": no such file");
    found->second->Rewind();
    return std::make_unique<TSharedStream>(found->second);
}

std::unique_ptr<TStream> TSimHost::OpenWrite(const std::string& path) const {
    auto file = std::make_shared<TMemoryStream>();
    files[UpperAnsi(path)] = file;
    return std::make_unique<TSharedStream>(file);
}

std::optional<std::vector<std::uint8_t>> TSimHost::LibraryResource(const std::string& library,
                                                                   const std::string& name,
                                                                   const std::string& type) const {
    const auto found = resources.find(ResourceKey(library, name, type));
    if (found == resources.end()) return std::nullopt;
    return found->second;
}

}  // namespace bootdisk
