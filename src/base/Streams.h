// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The byte streams that carry images, payload items and files between the parts of the program.
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace bootdisk {

class TStream {
public:
    virtual ~TStream() = default;

    // Move up to count bytes; return how many moved (0 at the end or on failure).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual void SetPosition(std::uint64_t position) = 0;
    virtual std::uint64_t Size() const = 0;

    // Makes sure written bytes have reached their destination; throws EStreamError when not.
    virtual void Close() {}

    std::uint64_t Remaining() const;
    void Rewind() { SetPosition(0); }
    // Like Read and Write, but a short transfer throws EStreamError.
    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count);
    // Copies exactly count bytes from source's position; a short source throws EStreamError.
    void CopyFrom(TStream& source, std::uint64_t count);

    // The bytes from the position to the end when the stream holds them in memory, so that they
    // can be written out where they are; empty when it does not.
    virtual std::span<const std::uint8_t> HeldBytes() const { return {}; }

    // For the messages of short transfers: what the stream is to a person (a file's path; empty for
    // memory), and the system's words for why the last Read or Write fell short (empty if none).
    virtual std::string Label() const { return {}; }
    virtual std::string LastErrorText() const { return {}; }
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override { return position_; }
    void SetPosition(std::uint64_t position) override { position_ = position; }
    std::uint64_t Size() const override { return data_.size(); }

    void SetSize(std::size_t size) { data_.resize(size); }
    // Room for size bytes, so that appending up to it moves nothing.
    void Reserve(std::size_t size) { data_.reserve(size); }
    void Clear();
    std::span<const std::uint8_t> Bytes() const { return data_; }
    std::span<std::uint8_t> Bytes() { return data_; }
    std::span<const std::uint8_t> HeldBytes() const override;

private:
    std::vector<std::uint8_t> data_;
    std::uint64_t position_ = 0;
};

// A read-only view of bytes that live elsewhere (an embedded resource).
class TSpanStream : public TStream {
public:
    explicit TSpanStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::uint64_t Position() const override { return position_; }
    void SetPosition(std::uint64_t position) override { position_ = position; }
    std::uint64_t Size() const override { return bytes_.size(); }

    std::span<const std::uint8_t> Bytes() const { return bytes_; }
    std::span<const std::uint8_t> HeldBytes() const override;

private:
    std::span<const std::uint8_t> bytes_;
    std::uint64_t position_ = 0;
};

// Bytes that live elsewhere (a large buffer), written and read within their fixed size: a write
// past the end moves only what fits. Size() is how far they have been written.
class TBufferStream : public TStream {
public:
    explicit TBufferStream(std::span<std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override { return position_; }
    void SetPosition(std::uint64_t position) override { position_ = position; }
    std::uint64_t Size() const override { return written_; }

private:
    std::span<std::uint8_t> bytes_;
    std::uint64_t position_ = 0;
    std::uint64_t written_ = 0;
};

enum class FileMode { Read, Create };

// A file on the host. Opening failures throw EStreamError naming the path and the system's reason.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& path, FileMode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override;
    void SetPosition(std::uint64_t position) override;
    std::uint64_t Size() const override;

    // Flushes and closes; throws EStreamError when buffered bytes cannot reach the file.
    void Close() override;
    const std::string& Path() const { return path_; }
    std::string Label() const override { return path_; }
    std::string LastErrorText() const override;

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    int lastError_ = 0;  // errno of the last transfer that fell short through an error
};

// Reads a whole file into memory; throws EStreamError on failure.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

}  // namespace bootdisk
