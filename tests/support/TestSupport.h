// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace bootdisk::test {

// A reference file under tests/data.
std::string DataPath(const std::string& relative);
std::vector<std::uint8_t> ReadData(const std::string& relative);

// A fresh empty directory for one test, removed with the object.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// True when dir holds a scratch file that output is written through before it takes its name.
bool HasScratchFile(const std::string& dir);

// A stored (uncompressed) payload container of kind-1 items, in the given order.
std::vector<std::uint8_t> StoredContainer(
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& items);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The demo payload's files as they lie in the source tree: (mtools path, source path).
std::vector<std::pair<std::string, std::string>> DemoPayloadFiles();

// A word for RunCommand's shell, taken as it stands.
inline std::string Quoted(const std::string& text) { return "'" + text + "'"; }
// The bytes of a text.
inline std::vector<std::uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }
// Put before a command: the disk tools (dosfstools, losetup, e2fsprogs) live in sbin, which a
// user's PATH may lack.
inline const std::string kToolPath = "PATH=\"$PATH:/usr/sbin:/sbin\" ";

// Runs a shell command; returns its exit status and puts stdout and stderr together into output.
int RunCommand(const std::string& command, std::string* output = nullptr);
// A program built beside the tests.
std::string BinPath(const std::string& program);

}  // namespace bootdisk::test
