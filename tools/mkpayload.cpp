// SPDX-License-Identifier: GPL-3.0-or-later
// mkpayload: packs a folder of boot-disk files and the two floppy images into a payload
// container, and lists the items of a container.
//
//   mkpayload pack OUT DIR [--boot IMG] [--bootrecord IMG]
//   mkpayload list FILE
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/Bytes.h"
#include "base/PendingFile.h"
#include "base/Streams.h"
#include "base/Text.h"
#include "image/FloppyFiles.h"
#include "image/LZH.h"
#include "image/PayloadFormat.h"
#include "image/userData.h"

namespace {

using namespace bootdisk;
namespace fs = std::filesystem;

constexpr char kPathSeparator = '\\';

bool IsDosNameChar(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    return std::string_view("!#$%&'()-@^_`{}~").find(char(c)) != std::string_view::npos;
}

// A name that one 8.3 directory entry holds as it is: 1-8 name characters, then optionally a
// dot and 1-3 extension characters.
bool IsDosName(std::string_view name) {
    const auto dot = name.find('.');
    const auto base = name.substr(0, dot);
    const auto ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8) return false;
    if (dot != std::string_view::npos && (ext.empty() || ext.size() > 3)) return false;
    return std::ranges::all_of(base, IsDosNameChar) && std::ranges::all_of(ext, IsDosNameChar);
}

struct TSourceFile {
    std::string Name;  // relative to the payload root, '\' between levels
    fs::path Path;
};

// Walks dir, collecting its files and a complaint for everything a floppy cannot hold.
void Collect(const fs::path& dir, const std::string& prefix, std::vector<TSourceFile>& files,
             std::vector<std::string>& problems) {
    std::vector<fs::directory_entry> entries(fs::directory_iterator(dir), {});
    std::ranges::sort(entries, {}, [](const auto& e) { return e.path().filename().string(); });
    std::map<std::string, std::string> taken;  // upper-cased 8.3 entry -> name on disk
    for (const auto& entry : entries) {
        const auto name = entry.path().filename().string();
        const auto shown = prefix + name;
        if (!IsDosName(name) || IsDosDeviceName(name)) {
            problems.push_back(shown + (IsDosDeviceName(name) ? ": a DOS device name, which DOS cannot open as a file"
                                                              : ": not a valid 8.3 DOS name"));
            continue;
        }
        const auto [previous, fresh] = taken.emplace(UpperAnsi(name), name);
        if (!fresh) {
            problems.push_back(prefix + previous->second + " and " + shown +
                               ": both fall on the same 8.3 entry");
            continue;
        }
        const auto status = entry.symlink_status();
        if (fs::is_symlink(status))
            problems.push_back(shown + ": a symbolic link; only plain files and folders go in");
        else if (fs::is_directory(status))
            Collect(entry.path(), shown + kPathSeparator, files, problems);
        else if (fs::is_regular_file(status))
            files.push_back({shown, entry.path()});
        else
            problems.push_back(shown + ": not a plain file or folder");
    }
}

void PutLength(TStream& out, std::uint64_t length, const std::string& what) {
    if (length > 0xFFFFFFFFu) throw std::runtime_error(what + " is too large for a payload");
    std::uint8_t bytes[4];
    PutLE32(bytes, std::uint32_t(length));
    out.WriteBuffer(bytes, sizeof bytes);
}

void PutItem(TStream& out, std::uint8_t kind, const std::string& name,
             const std::vector<std::uint8_t>& data) {
    out.WriteBuffer(&kind, 1);
    PutLength(out, name.size(), name);
    out.WriteBuffer(name.data(), name.size());
    PutLength(out, data.size(), name);
    if (!data.empty()) out.WriteBuffer(data.data(), data.size());
}

struct TPackRequest {
    std::string Out;
    std::string Dir;
    std::optional<std::string> Boot;
    std::optional<std::string> BootRecord;
};

std::vector<std::uint8_t> BuildContainer(const TPackRequest& request) {
    std::vector<std::pair<std::string, std::string>> items;  // name, source file
    if (request.Boot) items.emplace_back(payload::kBootItem, *request.Boot);
    if (request.BootRecord) items.emplace_back(payload::kBootRecordItem, *request.BootRecord);

    if (!fs::is_directory(request.Dir)) throw std::runtime_error(request.Dir + ": not a folder");
    std::vector<TSourceFile> files;
    std::vector<std::string> problems;
    Collect(request.Dir, "", files, problems);
    if (!problems.empty()) {
        std::string message = "cannot pack " + request.Dir + ":";
        for (const auto& problem : problems) message += "\n  " + problem;
        throw std::runtime_error(message);
    }
    // Byte order of the full relative paths, the order the boot disk builders copy them in.
    std::ranges::sort(files, {}, &TSourceFile::Name);
    for (const auto& file : files) items.emplace_back(file.Name, file.Path.string());

    TMemoryStream list;
    PutLength(list, items.size(), "the item count");
    for (const auto& [name, path] : items)
        PutItem(list, payload::kKindFile, name, ReadWholeFile(path));
    if (list.Size() > payload::kMaxDecodedSize)
        throw std::runtime_error("the items come to " + std::to_string(list.Size()) +
                                 " bytes, more than a payload may hold (" +
                                 std::to_string(payload::kMaxDecodedSize) + ")");

    TMemoryStream container;
    const std::uint8_t flag = payload::kFlagLZH;
    container.WriteBuffer(&flag, 1);
    PutLength(container, list.Size(), "the item list");
    list.Rewind();
    LZHPack(list, container);
    return {container.Bytes().begin(), container.Bytes().end()};
}

int List(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    TSpanStream source(bytes);
    TExeDataBase collection;
    collection.LoadFromStream(source);
    for (const auto& item : collection.Items())
        std::printf("%u\t%s\t%llu\n", unsigned(item.Kind), Cp1252ToUtf8(item.Name).c_str(),
                    static_cast<unsigned long long>(item.Data.Size()));
    return 0;
}

int Usage() {
    std::fputs("usage: mkpayload pack OUT DIR [--boot IMG] [--bootrecord IMG]\n"
               "       mkpayload list FILE\n",
               stderr);
    return 2;
}

std::optional<TPackRequest> ParsePack(const std::vector<std::string>& args) {
    TPackRequest request;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--boot" || args[i] == "--bootrecord") {
            if (i + 1 == args.size()) return std::nullopt;
            auto& image = args[i] == "--boot" ? request.Boot : request.BootRecord;
            image = args[++i];
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) return std::nullopt;
    request.Out = positional[0];
    request.Dir = positional[1];
    return request;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + std::min(argc, 2), argv + argc);
    const std::string command = argc >= 2 ? argv[1] : "";
    try {
        if (command == "list" && args.size() == 1) return List(args[0]);
        if (command == "pack") {
            const auto request = ParsePack(args);
            if (!request) return Usage();
            WriteFileWhole(request->Out, BuildContainer(*request));
            return 0;
        }
        return Usage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkpayload: %s\n", e.what());
        return 1;
    }
}
