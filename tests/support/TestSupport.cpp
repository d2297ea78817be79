// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestSupport.h"

#include "base/PendingFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#ifdef _WIN32
#include <random>
#else
#include <sys/wait.h>
#endif

namespace bootdisk::test {

std::string DataPath(const std::string& relative) { return std::string(BOOTDISK_TEST_DATA) + "/" + relative; }

std::vector<std::uint8_t> ReadData(const std::string& relative) {
    std::ifstream in(DataPath(relative), std::ios::binary);
    if (!in) throw std::runtime_error("missing test data " + relative);
    return {std::istreambuf_iterator<char>(in), {}};
}

TTempDir::TTempDir() {
#ifdef _WIN32
    // No mkdtemp: a random name, taken only when nobody has it yet.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const auto path = std::filesystem::temp_directory_path() / ("bootdisk-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(path)) path_ = path.generic_string();
    }
    if (path_.empty()) throw std::runtime_error("cannot make a temporary folder");
#else
    auto pattern = (std::filesystem::temp_directory_path() / "bootdisk-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
#endif
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool HasScratchFile(const std::string& dir) {
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().filename().string().starts_with(kScratchPrefix)) return true;
    return false;
}

namespace {

void AppendLE32(std::vector<std::uint8_t>& out, std::size_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> StoredContainer(
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& items) {
    std::vector<std::uint8_t> list;
    AppendLE32(list, items.size());
    for (const auto& [name, data] : items) {
        list.push_back(1);
        AppendLE32(list, name.size());
        list.insert(list.end(), name.begin(), name.end());
        AppendLE32(list, data.size());
        list.insert(list.end(), data.begin(), data.end());
    }
    std::vector<std::uint8_t> container{0};
    AppendLE32(container, list.size());
    container.insert(container.end(), list.begin(), list.end());
    return container;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

int RunCommand(const std::string& command, std::string* output) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        if (output) output->append(buffer, n);
    const int status = pclose(pipe);
#ifdef _WIN32
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

std::string BinPath(const std::string& program) { return std::string(BOOTDISK_BIN_DIR) + "/" + program; }

std::vector<std::pair<std::string, std::string>> DemoPayloadFiles() {
    namespace fs = std::filesystem;
    const auto root = fs::path(BOOTDISK_TEST_DATA).parent_path().parent_path() / "payload" / "files";
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files.emplace_back(fs::relative(entry.path(), root).generic_string(), entry.path().string());
    return files;
}

}  // namespace bootdisk::test
