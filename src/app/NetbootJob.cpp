// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/NetbootJob.h"

#include <vector>

#include "app/Options.h"
#include "base/Errors.h"
#include "base/PendingFile.h"
#include "image/NetbootFolder.h"
#include "platform/Host.h"
#include "platform/Network.h"

namespace bootdisk {
namespace {

// The loaders are tens of kilobytes; a larger file is not one, and is not read into memory.
constexpr std::uint64_t kMaxLoaderSize = 8u << 20;

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const auto& part : parts) text += (text.empty() ? "" : ", ") + part;
    return text;
}

std::vector<std::string> Places(const TNetbootLoader& loader, const std::string& folder) {
    const std::string name(loader.name);
    if (!folder.empty()) return {folder + (folder.back() == '/' || folder.back() == '\\' ? "" : "/") + name};
    std::vector<std::string> places{std::string(loader.debianPath)};
    try {
        places.push_back(ExecutableDir() + "loaders/" + name);
    } catch (const std::exception&) {
        // Without the program's folder, the packages' places remain.
    }
    return places;
}

// The loaders' files; what is wrong with any of them goes into problems, a line each.
std::vector<TFolderFile> ReadLoaders(const TStringTable& texts, const std::string& folder, std::string& problems) {
    std::vector<TFolderFile> files;
    const auto problem = [&](const std::string& line) { problems += (problems.empty() ? "" : "\r") + line; };
    for (const auto& loader : kNetbootLoaders) {
        const auto places = Places(loader, folder);
        std::string path;
        for (const auto& place : places)
            if (path.empty() && InspectPath(place).kind == TPathKind::Regular) path = place;
        if (path.empty()) {
            problem(WithValues(texts[StrId::NETBOOT_LOADERMISSING], {loader.name, Joined(places), loader.package}));
            continue;
        }
        try {
            TFileStream file(path, FileMode::Read);
            const auto size = file.Size();
            if (size == 0 || size > kMaxLoaderSize) {
                problem(WithValues(texts[StrId::NETBOOT_LOADERBAD], {path, std::to_string(size) + " bytes"}));
                continue;
            }
            files.push_back({std::string(loader.name), std::vector<std::uint8_t>(std::size_t(size))});
            file.ReadBuffer(files.back().bytes.data(), files.back().bytes.size());
        } catch (const EStreamError& error) {
            problem(WithValues(texts[StrId::NETBOOT_LOADERBAD], {path, error.Reason().empty() ? error.what() : error.Reason()}));
        }
    }
    return files;
}

// Quoted for the shell where it has to be, so that a line holding it can be pasted as it stands.
std::string ShellWord(const std::string& text) {
    if (text.find_first_of(" '\"\\$`!*?&;|<>(){}#~") == std::string::npos) return text;
    std::string quoted(1, '\'');
    for (const char c : text) quoted.append(c == '\'' ? "'\\''" : std::string_view(&c, 1));
    quoted.push_back('\'');
    return quoted;
}

}  // namespace

std::string LoaderProblems(const TStringTable& texts, const std::string& loadersFolder) {
    std::string problems;
    ReadLoaders(texts, loadersFolder, problems);
    return problems;
}

void CheckNetbootTarget(const std::string& folder) { CheckFolderTarget(folder, NetbootFolderEntries()); }

bool MakeNetbootFolder(const std::string& folder, TJobEnv& env, const TCreationSettings& settings) {
    const auto& texts = env.app.texts;
    try {
        // An existing folder is checked, and stays as it is, before any work.
        TPendingFolder pending(folder, NetbootFolderEntries());
        std::string problems;
        auto files = ReadLoaders(texts, settings.loaders, problems);
        if (!problems.empty()) {
            env.dialogs.ShowCoolMessage(problems);
            return false;
        }
        // The floppy boots as a CD's does: from memory, in the place of drive A:.
        TVirtualFloppy floppy;
        const bool msDos = CdUsesMsDos(env.host.Version(), settings.cdUseMsDos);
        if (!BuildBootFloppy(floppy, env.app.payloads.Cd(), msDos, env, settings)) throw ECopySkipped("");
        for (auto& file : NetbootFiles(floppy.Image(), texts[StrId::GUI_TEXTCDHEADER])) files.push_back(std::move(file));
        pending.MakeFolder(std::string(kPxelinuxConfigFolder));
        for (const auto& file : files) {
            pending.WriteFile(file.path, file.bytes);
            env.dialogs.ProcessMessages();
        }
        pending.Commit();
        return true;
    } catch (const ECopySkipped&) {
        throw;
    } catch (const EStreamError& error) {
        env.dialogs.ShowCoolMessage(texts[StrId::NETBOOT_CANNOTCREATE] + folder + ": " +
                                    (error.Reason().empty() ? error.what() : error.Reason()));
    } catch (const std::exception& error) {
        env.dialogs.ShowCoolMessage(texts[StrId::GUI_INSTALLERROR] + " (" + error.what() + ")");
    }
    return false;
}

TSaveFileRequest NetbootFolderRequest() { return {"", "Quellmark-PXE", "*"}; }

std::string NetbootServeHint(const TStringTable& texts, const std::string& folder) {
    if (!ServesNetboot()) return texts[StrId::GUI_FINISH_SERVEREADME];
    std::vector<std::string> networks;
    for (const auto& candidate : NetInterfaces())
        if (candidate.up && !candidate.loopback && !candidate.ipv4.empty()) networks.push_back(candidate.name);
    const auto line = "bootdisk serve " + ShellWord(folder) + " --interface " +
                      (networks.size() == 1 ? networks.front() : std::string("IF"));
    return WithValues(texts[StrId::GUI_FINISH_SERVE], {line});
}

}  // namespace bootdisk
