# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build's portable zip, made by CPack (`cpack -G ZIP` in the build folder): its
# stripped .exe files, language files, help and licences in one folder. Linux packages are made
# from debian/ (dpkg-buildpackage) and dist/rpm/bootdisk.spec (rpmbuild); the Windows installer by
# scripts/installer.
if(NOT WIN32)
  return()
endif()
set(CPACK_PACKAGE_NAME bootdisk)
set(CPACK_PACKAGE_VENDOR "Halvex Labs")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(windows_kind win64)
else()
  set(windows_kind win32)
endif()
set(CPACK_PACKAGE_FILE_NAME bootdisk-${PROJECT_VERSION}-${windows_kind})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
