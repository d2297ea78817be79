#pragma once
// What the operating system tells about the running program.
#include <cstdint>
#include <string>

namespace bootdisk {

// The folder holding the running executable, with a trailing separator. Files that ship with the
// program are found through it, never through the current directory; throws when it is unknown.
std::string ExecutableDir();

}  // namespace bootdisk

namespace bootdisk {

// True when standard input is a terminal a person can answer questions on.
bool StdinIsTerminal();

// The operating system's own words for one of its error codes.
std::string SystemErrorText(std::uint32_t code);

}  // namespace bootdisk
