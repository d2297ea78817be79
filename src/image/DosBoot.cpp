// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/DosBoot.h"

#include <algorithm>
#include <map>
#include <vector>

#include "base/Errors.h"
#include "base/StrConst.h"
#include "base/Text.h"
#include "image/FloppyFiles.h"

namespace bootdisk {
namespace {

constexpr std::string_view kMsDosSys = "[Options]\r\nBootGui=0\r\n";
// A host file larger than this cannot go onto a floppy; it is refused before it is read.
constexpr std::uint64_t kLargestHostFile = 2'000'000;

// Loads a whole boot image, refusing one the file layer would write into wrongly.
void LoadBootImage(TVirtualFloppy& floppy, std::span<const std::uint8_t> image, std::string_view label) {
    if (const auto problem = FloppyImageProblem(image.size(), image))
        throw EBootImageError(std::string(label) + ": " + *problem);
    TSpanStream checked(image);
    floppy.LoadFromStream(checked, image.size());
}

bool LoadItem(TVirtualFloppy& floppy, TExeDataBase& payload, std::string_view name) {
    auto* item = payload.Find(name, 1);
    if (!item) return false;
    LoadBootImage(floppy, item->Bytes(), "the payload item " + UpperAnsi(name));
    return true;
}

// Writes bytes as a new file in the root; throws when the file cannot be made whole.
void WriteRootFile(TGenericFloppy& floppy, std::string_view name, const std::vector<std::uint8_t>& bytes) {
    TFloppyDirectory root(floppy);
    auto file = root.CreateFile(name);
    if (!file || file->Write(bytes.data(), bytes.size()) != bytes.size())
        throw EStreamError("No room on the disk for " + std::string(name));
}

std::vector<std::uint8_t> ReadHostFile(const IHostSystem& host, const std::string& path) {
    auto stream = host.OpenRead(path);
    if (stream->Size() > kLargestHostFile) throw EStreamError(path + " is too large for a floppy disk");
    std::vector<std::uint8_t> bytes(std::size_t(stream->Size()));
    stream->ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

void WriteMsDosSys(TGenericFloppy& floppy) {
    WriteRootFile(floppy, "MsDos.sys", {kMsDosSys.begin(), kMsDosSys.end()});
}

// The host's own MS-DOS files (Windows 95, 98, Me). True when every file went in; a file that
// could not be read is reported through readFailed.
bool HostRoute(TVirtualFloppy& floppy, TExeDataBase& payload, const IHostSystem& host, bool& readFailed) {
    if (!LoadItem(floppy, payload, ".BOOTRECORD")) return false;
    const auto copy = [&](const std::string& path, std::string_view name) {
        try {
            WriteRootFile(floppy, name, ReadHostFile(host, path));
        } catch (const EStreamError&) {
            readFailed = true;
        }
    };
    const auto ioSys = LocateIoSys(host);
    if (ioSys.empty()) return false;
    copy(ioSys, "io.sys");
    const auto commandCom = LocateCommandCom(host);
    if (commandCom.empty()) return false;
    copy(commandCom, "Command.com");
    try {
        WriteMsDosSys(floppy);
    } catch (const EStreamError&) {
        readFailed = true;
    }
    return true;
}

bool FolderRoute(TVirtualFloppy& floppy, TExeDataBase& payload, TBootEnv& env) {
    const auto folder = env.dialogs.AskSystemFolder();
    if (!folder) return false;
    if (!LoadItem(floppy, payload, ".BOOTRECORD")) return false;
    try {
        WriteRootFile(floppy, "io.sys", ReadHostFile(env.host, *folder + "Io.sys"));
        WriteRootFile(floppy, "Command.com", ReadHostFile(env.host, *folder + "command.com"));
        WriteMsDosSys(floppy);
        return true;
    } catch (const EStreamError&) {
        return false;
    }
}

std::string ExistingFile(const IHostSystem& host, const std::string& path) {
    return host.FindFile(path).value_or("");
}

enum class TEntryKind { None, File, Directory };

// What the directory already holds under the entry name would take; labels do not count.
TEntryKind ExistingEntry(TFloppyDirectory& dir, std::string_view name) {
    const auto key = TFloppyDirectory::StoredName(name);
    TDirEntry entry;
    for (bool found = dir.FindFirst(entry); found; found = dir.FindNext(entry)) {
        const auto attributes = entry[fat12::kEntryAttributes];
        if (entry[fat12::kEntryName] == fat12::kEntryDeleted || (attributes & fat12::kAttrVolumeLabel)) continue;
        if (TFloppyDirectory::EntryName(entry) == key)
            return (attributes & fat12::kAttrDirectory) ? TEntryKind::Directory : TEntryKind::File;
    }
    return TEntryKind::None;
}

std::vector<std::string> SplitLevels(std::string_view path) {
    std::vector<std::string> levels;
    std::size_t start = 0;
    for (;;) {
        const auto end = path.find('\\', start);
        levels.emplace_back(path.substr(start, end - start));
        if (end == std::string_view::npos) return levels;
        start = end + 1;
    }
}

// A name DOS can store, type and open: something before a single ".", no blanks, control
// characters or characters that 8.3 names forbid, and no device name.
bool IsPlainLevel(const std::string& level) {
    const auto dot = level.find('.');
    if (level.empty() || dot == 0 || (dot != std::string::npos && level.find('.', dot + 1) != std::string::npos) ||
        IsDosDeviceName(level))
        return false;
    return std::none_of(level.begin(), level.end(), [](char c) {
        return std::uint8_t(c) <= ' ' || c == '\x7F' ||
               std::string_view("\"*+,/:;<=>?[]|").find(c) != std::string_view::npos;
    });
}

// The disk already holds a file where the item needs a directory, or a directory where it needs a
// file: writing it would make a second entry of that name.
bool ClashesWithDisk(TGenericFloppy& floppy, const std::vector<std::string>& levels) {
    TFloppyDirectory dir(floppy);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const bool isDir = i + 1 < levels.size();
        switch (ExistingEntry(dir, levels[i])) {
            case TEntryKind::None:
                return false;
            case TEntryKind::File:
                return isDir;
            case TEntryKind::Directory:
                if (!isDir) return true;
                if (!dir.ChangeDir(TFloppyDirectory::StoredName(levels[i]))) return false;
                break;
        }
    }
    return false;
}

// The files to copy, in payload order.
std::vector<const TExeData*> SanitizerItems(const TExeDataBase& payload) {
    std::vector<const TExeData*> items;
    for (const auto& item : payload.Items())
        if (item.Kind == 1 && !item.Name.starts_with(".")) items.push_back(&item);
    return items;
}

// Refuses names that would leave the root or land on an entry another item, or the disk, already takes.
std::optional<TWriteFailure> CheckNames(TGenericFloppy& floppy, const std::vector<const TExeData*>& items) {
    // Per directory (upper-case path), each entry and whether it is a directory.
    std::map<std::string, std::map<std::string, bool>> entries;
    for (const auto* item : items) {
        const auto levels = SplitLevels(item->Name);
        std::string dir;
        for (std::size_t i = 0; i < levels.size(); ++i) {
            if (!IsPlainLevel(levels[i])) return TWriteFailure{TWriteFailure::Reason::BadName, item->Name};
            const bool isDir = i + 1 < levels.size();
            const auto [slot, added] = entries[dir].emplace(TFloppyDirectory::StoredName(levels[i]), isDir);
            if (!added && !(isDir && slot->second)) return TWriteFailure{TWriteFailure::Reason::SameEntry, item->Name};
            dir += slot->first + "\\";
        }
        if (ClashesWithDisk(floppy, levels)) return TWriteFailure{TWriteFailure::Reason::SameEntry, item->Name};
    }
    return std::nullopt;
}

// What the file gets: the generated text for the two configuration files (made in text), else the
// item's bytes where they lie.
std::span<const std::uint8_t> ContentOf(const TExeData& item, const std::string& fileName, const TSanitizerFiles& files,
                                        std::string& text) {
    const auto upper = UpperAnsi(fileName);
    if (upper == "AUTOEXEC.BAT") {
        text = files.autoexec.Text(files.loadMouse, files.parameters);
    } else if (upper == "KORVANE.INI") {
        text = ImageIniText(files.options);
    } else {
        return item.Data.Bytes();
    }
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::string LocateIoSys(const IHostSystem& host) {
    auto path = ExistingFile(host, host.WindowsDirectory() + "\\Command\\Ebd\\io.sys");
    return path.empty() ? ExistingFile(host, "C:\\io.sys") : path;
}

std::string LocateCommandCom(const IHostSystem& host) {
    std::string path;
    if (const auto comspec = host.Environment("comspec")) path = ExistingFile(host, *comspec);
    return path.empty() ? ExistingFile(host, "C:\\command.com") : path;
}

bool PrepareBootImage(TVirtualFloppy& floppy, TExeDataBase& payload, bool useMsDos, TBootEnv& env) {
    if (useMsDos) return MakeSystemDisk(floppy, payload, env);
    return LoadItem(floppy, payload, ".Boot");
}

bool MakeSystemDisk(TVirtualFloppy& floppy, TExeDataBase& payload, TBootEnv& env) {
    switch (ClassifyWindows(env.host.Version())) {
        case TWindowsRelease::Win95:
        case TWindowsRelease::Win98:
        case TWindowsRelease::WinMe: {
            bool readFailed = false;
            if (!HostRoute(floppy, payload, env.host, readFailed)) return false;
            return readFailed ? FolderRoute(floppy, payload, env) : true;
        }
        case TWindowsRelease::WinXP:
        case TWindowsRelease::Win2003:
            if (const auto image = env.host.LibraryResource("DiskCopy.dll", "#1", "BINFILE")) {
                LoadBootImage(floppy, *image, "the startup-disk image of DiskCopy.dll");
                return true;
            }
            return FolderRoute(floppy, payload, env);
        case TWindowsRelease::Other:
            break;
    }
    return FolderRoute(floppy, payload, env);
}

std::string DescribeWriteFailure(const TStringTable& texts, const TWriteFailure& failure) {
    // Payload names are Windows-1252, as on the disk.
    const auto item = Cp1252ToUtf8(failure.item);
    switch (failure.reason) {
        case TWriteFailure::Reason::BadName:
            return texts[StrId::GUI_TEXTBADPAYLOADNAME] + item;
        case TWriteFailure::Reason::SameEntry:
            return texts[StrId::GUI_TEXTSAMEPAYLOADENTRY] + item;
        case TWriteFailure::Reason::NotFloppyImage:
            return texts[StrId::GUI_TEXTNOTFLOPPYIMAGE] + item;
        case TWriteFailure::Reason::RootFull:
            return texts[StrId::GUI_TEXTROOTFULL] + item;
        case TWriteFailure::Reason::DiskFull:
            return texts[StrId::GUI_TEXTDISKFULL] + item;
        case TWriteFailure::Reason::BadParameters:
            break;
    }
    return texts[StrId::GUI_TEXTBADPARAMETERS];
}

bool EnterDirectory(TFloppyDirectory& dir, std::string_view path) {
    if (path.empty()) return true;
    for (const auto& level : SplitLevels(path)) {
        const auto key = TFloppyDirectory::StoredName(level);
        if (dir.ChangeDir(key)) continue;
        if (ExistingEntry(dir, level) != TEntryKind::None || !dir.MakeDir(level) || !dir.ChangeDir(key))
            return false;
    }
    return true;
}

std::optional<TFloppyDirectory> EnsureDirectory(TGenericFloppy& floppy, std::string_view path) {
    TFloppyDirectory dir(floppy);
    if (!EnterDirectory(dir, path)) return std::nullopt;
    return dir;
}

std::optional<TWriteFailure> WriteSanitizerFiles(TGenericFloppy& floppy, const TExeDataBase& payload,
                                                 const TSanitizerFiles& files) {
    using Reason = TWriteFailure::Reason;
    if (!ParametersAreValid(files.parameters)) return TWriteFailure{Reason::BadParameters, {}};
    const auto items = SanitizerItems(payload);
    TSectorBuffer bootSector{};
    if (floppy.ReadSectors(fat12::kBootSector, bootSector.data(), 1) == 0 || BootSectorProblem(bootSector))
        return TWriteFailure{Reason::NotFloppyImage, items.empty() ? std::string() : items.front()->Name};
    if (auto failure = CheckNames(floppy, items)) return failure;
    for (const auto* item : items) {
        const auto split = item->Name.rfind('\\');
        const auto dirPath = split == std::string::npos ? std::string() : item->Name.substr(0, split);
        const auto fileName = split == std::string::npos ? item->Name : item->Name.substr(split + 1);
        std::string text;
        const auto content = ContentOf(*item, fileName, files, text);
        TFloppyDirectory dir(floppy);
        const bool entered = EnterDirectory(dir, dirPath);
        if (entered) dir.DeleteFile(TFloppyDirectory::StoredName(fileName));  // a file the boot disk already carries gives way
        auto file = entered ? dir.CreateFile(fileName) : std::nullopt;
        if (!file && dir.RootIsFull()) return TWriteFailure{Reason::RootFull, item->Name};
        if (!file || file->Write(content.data(), content.size()) != content.size())
            return TWriteFailure{Reason::DiskFull, item->Name};
    }
    return std::nullopt;
}

}  // namespace bootdisk
