// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/NetbootFolder.h"

namespace bootdisk {
namespace {

// memdisk's "raw" reaches the image through the BIOS's own memory moves, which every DOS accepts.
constexpr std::string_view kPxelinuxConfigText =
    "# Boots boot.img from memory as drive A:, through memdisk.\n"
    "DEFAULT sanitizer\n"
    "PROMPT 0\n"
    "TIMEOUT 0\n"
    "LABEL sanitizer\n"
    "  KERNEL memdisk\n"
    "  INITRD boot.img\n"
    "  APPEND floppy raw\n";

// Names without a path are fetched from where the script came from.
constexpr std::string_view kIpxeScriptText =
    "#!ipxe\n"
    "# Boots boot.img from memory as drive A:, through memdisk.\n"
    "kernel memdisk floppy raw\n"
    "initrd boot.img\n"
    "boot\n";

// Read on Windows too: lines end in CR LF.
constexpr std::string_view kReadmeText =
    " network boot folder\r\n"
    "\r\n"
    "Machines start the disk sanitizer from the network (PXE). They load a boot\r\n"
    "loader from this folder by TFTP, which loads boot.img, the 1.44 MB boot floppy,\r\n"
    "into memory with memdisk and starts it as drive A:.\r\n"
    "\r\n"
    "The machines must boot in legacy BIOS mode (CSM): memdisk and DOS need the PC\r\n"
    "BIOS, which a UEFI network boot does not give. Turn on CSM or legacy boot and\r\n"
    "network boot (PXE) in each machine's firmware setup.\r\n"
    "\r\n"
    "Two routes lead to the same floppy:\r\n"
    "  pxelinux.0     PXELINUX: reads pxelinux.cfg/default, loads memdisk, boot.img\r\n"
    "  undionly.kpxe  iPXE: loads boot.ipxe, which loads memdisk and boot.img\r\n"
    "A machine whose network card runs iPXE already is given boot.ipxe itself.\r\n"
    "Copy the whole folder into the TFTP server's folder: every file is needed.\r\n"
    "\r\n"
    "From a Linux computer on the machines' network, as root:\r\n"
    "  bootdisk serve THIS-FOLDER --interface eth0\r\n"
    "serves it with dnsmasq as a proxy DHCP and TFTP server beside the network's\r\n"
    "own DHCP server. It hands out no addresses.\r\n"
    "\r\n"
    "Or tell the network's own DHCP server, with the TFTP server at 192.0.2.10:\r\n"
    "\r\n"
    "ISC dhcpd (dhcpd.conf):\r\n"
    "  next-server 192.0.2.10;\r\n"
    "  if exists user-class and option user-class = \"iPXE\" {\r\n"
    "    filename \"boot.ipxe\";\r\n"
    "  } else {\r\n"
    "    filename \"pxelinux.0\";\r\n"
    "  }\r\n"
    "\r\n"
    "Kea (kea-dhcp4.conf), in the subnet:\r\n"
    "  \"next-server\": \"192.0.2.10\",\r\n"
    "  \"boot-file-name\": \"pxelinux.0\"\r\n"
    "\r\n"
    "Windows DHCP server (scope options), with any TFTP server for the folder:\r\n"
    "  066 Boot Server Host Name: 192.0.2.10\r\n"
    "  067 Bootfile Name: pxelinux.0\r\n"
    "\r\n"
    "dnsmasq as the network's DHCP server:\r\n"
    "  enable-tftp\r\n"
    "  tftp-root=/srv/tftp\r\n"
    "  dhcp-match=set:ipxe,175\r\n"
    "  dhcp-boot=tag:!ipxe,pxelinux.0\r\n"
    "  dhcp-boot=tag:ipxe,boot.ipxe\r\n";

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

}  // namespace

std::vector<TFolderFile> NetbootFiles(std::span<const std::uint8_t> bootImage, std::string_view title) {
    return {{std::string(kNetbootImage), {bootImage.begin(), bootImage.end()}},
            {std::string(kPxelinuxConfig), Bytes(kPxelinuxConfigText)},
            {std::string(kIpxeScript), Bytes(kIpxeScriptText)},
            {std::string(kNetbootReadme), Bytes(std::string(title) + std::string(kReadmeText))}};
}

std::vector<std::string> NetbootFolderEntries() {
    std::vector<std::string> entries;
    for (const auto& loader : kNetbootLoaders) entries.emplace_back(loader.name);
    for (const auto name : {kNetbootImage, kIpxeScript, kPxelinuxConfigFolder, kPxelinuxConfig, kNetbootReadme})
        entries.emplace_back(name);
    return entries;
}

}  // namespace bootdisk
