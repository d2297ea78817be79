# SPDX-License-Identifier: GPL-3.0-or-later
# Hardened programs (fortified library calls where the optimiser runs, stack protection and
# probing, branch protection where the processor has it, read-only relocations bound at start on
# ELF, relocatable no-execute images on Windows) and reproducible ones: no build folder in what is
# built, so two folders build the same bytes. The sanitizer builds check more than this and go
# without it.
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)

foreach(dir ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
  target_compile_options(bootdisk_settings INTERFACE -ffile-prefix-map=${dir}=.)
endforeach()

if(BOOTDISK_SANITIZE)
  return()
endif()

target_compile_options(bootdisk_settings INTERFACE -fstack-protector-strong)
# Windows probes every large stack frame of its own (and GCC 12 for 64-bit Windows fails on stack
# clash protection); its branch protection is the linker's business.
if(NOT WIN32)
  foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "BOOTDISK_COMPILER_TAKES${flag}" known)
    check_cxx_compiler_flag(${flag} ${known})
    if(${known})
      target_compile_options(bootdisk_settings INTERFACE ${flag})
    endif()
  endforeach()
endif()
# The compiler driver links the protector's library (mingw) when it sees the option.
target_link_options(bootdisk_settings INTERFACE -fstack-protector-strong)

# Fortification needs optimisation; a distribution's own level, passed in the flags, stays.
string(TOUPPER "${CMAKE_BUILD_TYPE}" build_type)
set(flags "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${build_type}}")
if(flags MATCHES "(^| )-O([1-3sgz]|fast)?( |$)" AND NOT flags MATCHES "_FORTIFY_SOURCE")
  target_compile_definitions(bootdisk_settings INTERFACE _FORTIFY_SOURCE=2)
endif()

# On Windows also no link time in the image's header, so that the same sources link the same bytes.
if(WIN32)
  set(linker_flags --dynamicbase --nxcompat --high-entropy-va --no-insert-timestamp)
else()
  set(linker_flags -z,relro -z,now)
endif()
foreach(flag ${linker_flags})
  string(MAKE_C_IDENTIFIER "BOOTDISK_LINKER_TAKES${flag}" known)
  check_linker_flag(CXX "LINKER:${flag}" ${known})
  if(${known})
    target_link_options(bootdisk_settings INTERFACE "LINKER:${flag}")
  endif()
endforeach()
