# SPDX-License-Identifier: GPL-3.0-or-later
# Cross build for Windows with mingw-w64; the including file sets BOOTDISK_MINGW_TRIPLE.
# The compilers of the win32 thread model: the posix model links winpthreads, whose imports
# (GetTickCount64 and others) are missing on Windows XP and older; the program's one sleep needs no
# thread library.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${BOOTDISK_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${BOOTDISK_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${BOOTDISK_MINGW_TRIPLE}-windres)
# The packages' programs are stripped by the cross binutils, which know the Windows format.
set(CMAKE_STRIP ${BOOTDISK_MINGW_TRIPLE}-strip)
set(CMAKE_FIND_ROOT_PATH /usr/${BOOTDISK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
