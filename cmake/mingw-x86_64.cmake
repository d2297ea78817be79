# SPDX-License-Identifier: GPL-3.0-or-later
# 64-bit Windows, which modern Windows runs natively.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BOOTDISK_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
