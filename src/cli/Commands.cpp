#include "cli/Commands.h"

namespace bootdisk::cli {

const std::vector<TCommand>& Commands() {
    static const std::vector<TCommand> commands = {
        {"payload", "[--payload FILE]", "list the boot payload's items and load the language file",
         kFlagPayload, RunPayload},
        {"iso", "OUT.iso [OPTIONS]", "save the boot CD image (MS-DOS, El Torito floppy emulation) as a file",
         kFlagPayload | kFlagMsDosFolder | kFlagSanitizer, RunIso},
        {"image", "OUT.img [OPTIONS]", "write the 1.44 MB boot floppy image to a file",
         kFlagPayload | kFlagMsDosFolder | kFlagSanitizer | kFlagOs | kFlagUsb, RunImage},
    };
    return commands;
}

}  // namespace bootdisk::cli
