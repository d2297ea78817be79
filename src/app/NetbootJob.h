// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The network boot folder as one more medium: the boot floppy built as for a CD, with the loaders
// this computer's packages bring, written whole or not at all.
#include <string>

#include "app/CdDvdJob.h"

namespace bootdisk {

// What is wrong with the loaders for a folder, one line per loader in the texts' words: missing
// ones with the package that brings them; empty when all are there. They are looked for in
// settings.loaders alone when it is given, else each at its Debian path and then in "loaders"
// beside the program.
std::string LoaderProblems(const TStringTable& texts, const std::string& loadersFolder);

// Throws ERefusedOutput when folder cannot take a network boot folder: a file, a device, or a
// folder holding anything but an earlier network boot folder's entries.
void CheckNetbootTarget(const std::string& folder);

// True when the folder was made; false after the reason was shown.
bool MakeNetbootFolder(const std::string& folder, TJobEnv& env, const TCreationSettings& settings);

// The save dialog's request for the network boot folder's name.
TSaveFileRequest NetbootFolderRequest();

// How to serve folder to the machines: the `bootdisk serve` line, naming the interface when this
// computer has one network alone; where this host serves none, the pointer to its README.TXT.
std::string NetbootServeHint(const TStringTable& texts, const std::string& folder);

}  // namespace bootdisk
