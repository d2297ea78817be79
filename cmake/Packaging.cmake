# SPDX-License-Identifier: GPL-3.0-or-later
# Packages made by CPack (`cpack` in the build folder): a .deb on Linux, a portable zip of the
# Windows build (its stripped .exe files, language file, help and licence in one folder).
set(CPACK_PACKAGE_NAME bootdisk)
set(CPACK_PACKAGE_VENDOR "Halvex Labs")
set(CPACK_PACKAGE_CONTACT "Halvex Labs <support@halvexlabs.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "boot disk creator for the Quellmark disk sanitizer")
set(CPACK_PACKAGE_DESCRIPTION "A wizard (bootdisk-wizard) and a command line (bootdisk) that turn a boot
payload and the user's choices into media that boot the Quellmark DOS disk
sanitizer: floppy disks, USB drives written raw, CDs and DVDs recorded in a
writer, ISO image files and floppy images.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.halvexlabs.example/quellmark")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/;/out/;/\\\\.git/")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(windows_kind win64)
  else()
    set(windows_kind win32)
  endif()
  set(CPACK_PACKAGE_FILE_NAME bootdisk-${PROJECT_VERSION}-${windows_kind})
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The libraries the programs link come from dpkg-shlibdeps. It cannot see libiscsi, opened by its
  # soname only when an iscsi:// writer is used, so its package is added here, nor other packages
  # loaded or run at run time, which go on BOOTDISK_DEB_DEPENDS.
  set(run_time_packages "")
  if(BOOTDISK_LIBISCSI_SONAME)
    execute_process(COMMAND dpkg-query -S "*/${BOOTDISK_LIBISCSI_SONAME}" OUTPUT_VARIABLE owner ERROR_QUIET)
    if(owner MATCHES "^([a-z0-9][a-z0-9.+-]*)")
      list(APPEND run_time_packages ${CMAKE_MATCH_1})
    else()
      message(WARNING "no package holds ${BOOTDISK_LIBISCSI_SONAME}: add it to BOOTDISK_DEB_DEPENDS")
    endif()
  endif()
  set(BOOTDISK_DEB_DEPENDS "" CACHE STRING "Packages the .deb depends on beyond its linked libraries")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  list(APPEND run_time_packages ${BOOTDISK_DEB_DEPENDS})
  list(JOIN run_time_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
  # Drives are opened through the disk service where it runs; a VM boots the images. The network
  # boot folder copies the loaders of pxelinux, syslinux-common and ipxe, and serve runs dnsmasq.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udisks2, pxelinux, syslinux-common, ipxe, dnsmasq-base")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS qemu-system-x86)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()
include(CPack)
