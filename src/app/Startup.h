// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every front end sets up before its first window or command: the texts, the payloads and
// the AUTOEXEC.BAT text composed from them.
#include <optional>
#include <string>

#include "base/StrConst.h"
#include "image/BootConfig.h"
#include "image/Payloads.h"
#include "platform/Resources.h"

namespace bootdisk {

struct TAppContext {
    TStringTable texts;
    std::string language = "en";  // of the texts: the language file's code ("de", "de_AT"), else English
    TPayloads payloads;
    TAutoexecTemplate autoexec{texts[StrId::GUI_RUNNING_HALVEX]};
};

// Loads the language file (beside the executable unless a path is given) and composes the texts
// made from it. Throws ELanguageFileError when the file cannot be opened; returns what is wrong
// with a damaged file, whose texts are all refused (empty when the file was taken).
std::string LoadTexts(TAppContext& app, const std::string& path);

// Loads the texts of language, else of the user's, as a wizard does: a language file that is
// missing or damaged is said, and English stands instead. Returns what to say, empty when all is
// well; throws ELanguageFileError when not even the English file can be opened.
std::string LoadWizardTexts(TAppContext& app, const std::optional<std::string>& language);

// Loads the CD collection and then, only when that worked, the floppy one: from the container
// file when one is given, else from the embedded resources. False with payloads.LastError set.
bool LoadPayloads(TAppContext& app, const std::optional<std::string>& containerFile,
                  const IResourceStore& resources);

}  // namespace bootdisk
