// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The network boot folder: what a TFTP server hands to machines that boot from the network (PXE).
// The boot floppy image is loaded into memory by memdisk and booted as drive A:, reached by either
// of two routes: PXELINUX (pxelinux.0 with its configuration) or iPXE (undionly.kpxe, or a
// machine's own iPXE, running boot.ipxe). The loaders come from the system's packages.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace bootdisk {

struct TNetbootLoader {
    std::string_view name;        // in the folder
    std::string_view debianPath;  // where the package installs it
    std::string_view package;     // the Debian package that brings it
};

inline constexpr std::array<TNetbootLoader, 4> kNetbootLoaders = {{
    {"pxelinux.0", "/usr/lib/PXELINUX/pxelinux.0", "pxelinux"},
    {"ldlinux.c32", "/usr/lib/syslinux/modules/bios/ldlinux.c32", "syslinux-common"},
    {"memdisk", "/usr/lib/syslinux/memdisk", "syslinux-common"},
    {"undionly.kpxe", "/usr/lib/ipxe/undionly.kpxe", "ipxe"},
}};

inline constexpr std::string_view kNetbootImage = "boot.img";
inline constexpr std::string_view kIpxeScript = "boot.ipxe";
inline constexpr std::string_view kPxelinuxConfigFolder = "pxelinux.cfg";
inline constexpr std::string_view kPxelinuxConfig = "pxelinux.cfg/default";
inline constexpr std::string_view kNetbootReadme = "README.TXT";

// A file of the folder: its path inside it ("/" between levels) and its bytes.
struct TFolderFile {
    std::string path;
    std::vector<std::uint8_t> bytes;
};

// The folder's files besides the loaders: the image, both routes' configurations and the README,
// whose first line is title.
std::vector<TFolderFile> NetbootFiles(std::span<const std::uint8_t> bootImage, std::string_view title);

// Every entry the folder holds (its one sub folder too), as relative paths.
std::vector<std::string> NetbootFolderEntries();

}  // namespace bootdisk
