// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Named byte resources linked into the executable (the boot payloads), and the data files that
// ship beside it (the language file, the help topics, the demo MS-DOS folder).
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace bootdisk {

class IResourceStore {
public:
    virtual ~IResourceStore() = default;
    // The resource's bytes, or nothing when no resource has that name (names ignore case).
    virtual std::optional<std::span<const std::uint8_t>> Find(std::string_view name) const = 0;
};

// The resources linked into this executable.
const IResourceStore& EmbeddedResources();

// Made by the build for every embedded file; adds it to EmbeddedResources() before main runs.
class TResourceRegistration {
public:
    TResourceRegistration(const char* name, const std::uint8_t* begin, const std::uint8_t* end);
};

// The path of a file or folder that ships with the program: beside the executable when it is
// there (the Windows folder, the build tree), else in the data folder of an installed tree, found
// relative to the executable (../share/bootdisk from bin), so a moved tree works too. When neither
// holds it, the path beside the executable, so a message names a place.
std::string DataFilePath(const std::string& name);
// The path of a file that ships with the program, found as DataFilePath finds it; nothing when it
// is in neither place.
std::optional<std::string> ShippedDataFile(const std::string& name);
// Where shipped files are looked for, in that order: beside the executable, then the installed
// data folder; each ends with a separator.
std::vector<std::string> DataFolders();

}  // namespace bootdisk
