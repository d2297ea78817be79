// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the operating system tells about the running program.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace bootdisk {

// The folder holding the running executable, with a trailing separator. Files that ship with the
// program are found through it, never through the current directory; throws when it is unknown.
std::string ExecutableDir();

// True when standard input is a terminal a person can answer questions on.
bool StdinIsTerminal();
// True when standard error is a terminal, where a progress line may be rewritten in place.
bool StderrIsTerminal();

// The operating system's own words for one of its error codes.
std::string SystemErrorText(std::uint32_t code);

// The program's command-line words after its name, in UTF-8 (Windows hands main its own code
// page's bytes, which cannot hold every name).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Makes the console show the program's UTF-8 output; the console is left as it was at exit.
void UseUtf8Console();

// The command line's text for the terminal: the program's UTF-8 in the character set of the user's
// locale, a character that set lacks in its nearest likeness. UTF-8 stays as it is in a UTF-8
// locale, in the plain "C" locale (which says nothing of the terminal, most often UTF-8) and on
// Windows, whose console UseUtf8Console switches. Bytes that are not UTF-8 (a path named in
// another character set) pass through as they are.
std::string TerminalText(std::string_view utf8);
// Text given on the command line or typed on the terminal, from the locale's character set into
// the program's UTF-8.
std::string TextFromTerminal(std::string_view typed);

// Opens a file named in UTF-8 in the way of fopen; nullptr with errno set when it cannot.
std::FILE* OpenFileUtf8(const std::string& path, const char* mode);

// "0.1.0" and the four-part build "0.1.0.0": from the executable's version resource on Windows,
// from the build's own numbers elsewhere.
struct TProgramVersion {
    std::string version;
    std::string build;
};
TProgramVersion ProgramVersion();

// The languages the user wants the program's texts in, most wanted first, as the system names them
// ("de_DE.UTF-8", "de"); empty when the user asks for untranslated texts (the "C" locale).
std::vector<std::string> UserLanguages();

}  // namespace bootdisk
