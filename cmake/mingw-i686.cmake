# SPDX-License-Identifier: GPL-3.0-or-later
# 32-bit Windows, the program's own platform: runs from Windows XP on.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BOOTDISK_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
