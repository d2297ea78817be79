// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/Errors.h"
#include "platform/Host.h"

namespace bootdisk {

std::uint64_t TStream::Remaining() const {
    const auto size = Size(), position = Position();
    return position < size ? size - position : 0;
}

namespace {

// A short transfer named by the stream's path and the system's reason, when the stream has them.
EStreamError ShortTransfer(const TStream& stream, bool writing) {
    const auto label = stream.Label();
    const auto reason = stream.LastErrorText();
    if (label.empty() && reason.empty()) return EStreamError(writing ? "Stream write error" : "Stream read error");
    const std::string what = writing ? "Cannot write " : "Cannot read ";
    const std::string why = !reason.empty() ? reason : writing ? "not all bytes were written" : "it ends early";
    return EStreamError(what + (label.empty() ? std::string("the stream") : label) + ": " + why, reason);
}

}  // namespace

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    if (Read(buffer, count) != count) throw ShortTransfer(*this, false);
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    if (Write(buffer, count) != count) throw ShortTransfer(*this, true);
}

void TStream::CopyFrom(TStream& source, std::uint64_t count) {
    if (const auto held = source.HeldBytes(); count <= held.size()) {
        WriteBuffer(held.data(), std::size_t(count));
        source.SetPosition(source.Position() + count);
        return;
    }
    std::vector<std::uint8_t> chunk(std::size_t(std::min<std::uint64_t>(count, 64 * 1024)));
    while (count > 0) {
        const auto n = std::size_t(std::min<std::uint64_t>(count, chunk.size()));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        count -= n;
    }
}

namespace {

std::span<const std::uint8_t> Unread(std::span<const std::uint8_t> bytes, std::uint64_t position) {
    return position < bytes.size() ? bytes.subspan(std::size_t(position)) : std::span<const std::uint8_t>();
}

// Reading from bytes held in memory, for both memory-backed streams.
std::size_t ReadFromBytes(std::span<const std::uint8_t> bytes, std::uint64_t& position, void* buffer,
                          std::size_t count) {
    if (position >= bytes.size()) return 0;
    const auto n = std::size_t(std::min<std::uint64_t>(count, bytes.size() - position));
    std::memcpy(buffer, bytes.data() + position, n);
    position += n;
    return n;
}

}  // namespace

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    return ReadFromBytes(data_, position_, buffer, count);
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    const auto end = std::size_t(position_) + count;
    if (position_ == data_.size()) {
        data_.insert(data_.end(), bytes, bytes + count);  // appending: no zero fill first
    } else {
        if (end > data_.size()) data_.resize(end);
        std::memcpy(data_.data() + position_, bytes, count);
    }
    position_ = end;
    return count;
}

std::span<const std::uint8_t> TMemoryStream::HeldBytes() const { return Unread(data_, position_); }

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

std::size_t TSpanStream::Read(void* buffer, std::size_t count) {
    return ReadFromBytes(bytes_, position_, buffer, count);
}

std::span<const std::uint8_t> TSpanStream::HeldBytes() const { return Unread(bytes_, position_); }

std::size_t TBufferStream::Read(void* buffer, std::size_t count) {
    return ReadFromBytes(bytes_.first(std::size_t(written_)), position_, buffer, count);
}

std::size_t TBufferStream::Write(const void* buffer, std::size_t count) {
    if (position_ >= bytes_.size()) return 0;
    const auto n = std::size_t(std::min<std::uint64_t>(count, bytes_.size() - position_));
    if (n != 0) std::memcpy(bytes_.data() + position_, buffer, n);
    position_ += n;
    written_ = std::max(written_, position_);
    return n;
}

TFileStream::TFileStream(const std::string& path, FileMode mode) : path_(path) {
    file_ = OpenFileUtf8(path, mode == FileMode::Read ? "rb" : "wb");
    if (!file_) {
        const std::string reason = std::strerror(errno);
        throw EStreamError("Cannot open " + path + ": " + reason, reason);
    }
}

TFileStream::~TFileStream() {
    if (file_) std::fclose(file_);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    if (!file_) return 0;
    errno = 0;
    const auto n = std::fread(buffer, 1, count, file_);
    lastError_ = n < count && std::ferror(file_) ? errno : 0;
    return n;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
    if (!file_) return 0;
    // An empty vector's data() may be null, which fwrite must not be given.
    if (count == 0) return 0;
    errno = 0;
    const auto n = std::fwrite(buffer, 1, count, file_);
    lastError_ = n < count ? errno : 0;
    return n;
}

std::string TFileStream::LastErrorText() const { return lastError_ != 0 ? std::strerror(lastError_) : std::string(); }

#ifdef _WIN32
#define bootdisk_ftell _ftelli64
#define bootdisk_fseek _fseeki64
#else
#define bootdisk_ftell ftello
#define bootdisk_fseek fseeko
#endif

std::uint64_t TFileStream::Position() const {
    if (!file_) return 0;
    const auto position = bootdisk_ftell(file_);
    return position < 0 ? 0 : std::uint64_t(position);
}

void TFileStream::SetPosition(std::uint64_t position) {
    if (!file_ || bootdisk_fseek(file_, std::int64_t(position), SEEK_SET) != 0)
        throw EStreamError("Cannot seek in " + path_);
}

std::uint64_t TFileStream::Size() const {
    if (!file_) return 0;
    const auto here = bootdisk_ftell(file_);
    bootdisk_fseek(file_, 0, SEEK_END);
    const auto size = bootdisk_ftell(file_);
    bootdisk_fseek(file_, here, SEEK_SET);
    return size < 0 ? 0 : std::uint64_t(size);
}

void TFileStream::Close() {
    if (!file_) return;
    const bool failed = std::fflush(file_) != 0 || std::ferror(file_);
    const int error = errno;
    const bool closeFailed = std::fclose(file_) != 0;
    file_ = nullptr;
    if (failed || closeFailed) {
        const std::string reason = std::strerror(failed ? error : errno);
        throw EStreamError("Cannot write " + path_ + ": " + reason, reason);
    }
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    TFileStream file(path, FileMode::Read);
    std::vector<std::uint8_t> bytes(std::size_t(file.Size()));
    file.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

}  // namespace bootdisk
