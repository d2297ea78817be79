# SPDX-License-Identifier: GPL-3.0-or-later
# bootdisk_embed(TARGET NAME FILE): links FILE into TARGET as the named resource that
# EmbeddedResources() finds. The bytes are included by the assembler, so large payloads
# cost no code generation.
function(bootdisk_embed target name file)
  string(MAKE_C_IDENTIFIER "${name}" id)
  set(src ${CMAKE_CURRENT_BINARY_DIR}/embed_${target}_${id}.cpp)
  file(WRITE ${src}.in
"#include \"platform/Resources.h\"
extern \"C\" const unsigned char bootdisk_res_${id}_begin[] asm(\"bootdisk_res_${id}_begin\");
extern \"C\" const unsigned char bootdisk_res_${id}_end[] asm(\"bootdisk_res_${id}_end\");
asm(\".section .rodata\\n\"
    \".balign 16\\n\"
    \"bootdisk_res_${id}_begin:\\n\"
    \".incbin \\\"${file}\\\"\\n\"
    \"bootdisk_res_${id}_end:\\n\"
    \".byte 0\\n\"
    \".text\\n\");
static const bootdisk::TResourceRegistration registration_${id}(\"${name}\",
    bootdisk_res_${id}_begin, bootdisk_res_${id}_end);
")
  configure_file(${src}.in ${src} COPYONLY)
  set_source_files_properties(${src} PROPERTIES OBJECT_DEPENDS ${file})
  target_sources(${target} PRIVATE ${src})
endfunction()
