// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the boot content builders need of the host: its version, its Windows folder and
// environment, its files (the MS-DOS system files), and resources of its libraries.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Streams.h"

namespace bootdisk {

// Platform identifier (1 = 9x family, 2 = NT family), major and minor version.
struct TWinVersion {
    std::uint32_t platformId = 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    friend bool operator==(const TWinVersion&, const TWinVersion&) = default;
};

enum class TWindowsRelease { Win95, Win98, WinMe, WinXP, Win2003, Other };
TWindowsRelease ClassifyWindows(TWinVersion version);

class IHostSystem {
public:
    virtual ~IHostSystem() = default;

    virtual TWinVersion Version() const = 0;
    // The build of the running system (the 9x family's disk services depend on it); 0 where unknown.
    virtual std::uint32_t BuildNumber() const = 0;
    virtual std::string WindowsDirectory() const = 0;
    virtual std::optional<std::string> Environment(const std::string& name) const = 0;
    virtual char PathSeparator() const = 0;

    // The path of an existing file, spelt as the file system holds it; nothing when absent.
    // On hosts with case-sensitive file systems the lookup ignores case, as DOS names do.
    virtual std::optional<std::string> FindFile(const std::string& path) const = 0;
    // Throws EStreamError naming the path and the reason.
    virtual std::unique_ptr<TStream> OpenRead(const std::string& path) const = 0;
    virtual std::unique_ptr<TStream> OpenWrite(const std::string& path) const = 0;

    // A resource of a library on the system's search path; nothing when either is missing.
    virtual std::optional<std::vector<std::uint8_t>> LibraryResource(const std::string& library,
                                                                     const std::string& name,
                                                                     const std::string& type) const = 0;
};

// The host this program runs on.
IHostSystem& RealHost();

}  // namespace bootdisk
