#include "app/SearchSys.h"

namespace bootdisk {

std::optional<std::string> AcceptSystemFolder(const IHostSystem& host, std::string folder) {
    if (!folder.empty() && folder.back() != host.PathSeparator()) folder += host.PathSeparator();
    if (!host.FindFile(folder + "Io.Sys") || !host.FindFile(folder + "command.com")) return std::nullopt;
    return folder;
}

}  // namespace bootdisk
