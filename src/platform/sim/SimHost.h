// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A host made up by a test: any Windows version, folder, environment, files and library resources.
#include <map>

#include "platform/HostSystem.h"

namespace bootdisk {

class TSimHost : public IHostSystem {
public:
    TWinVersion version{2, 5, 0};
    std::uint32_t buildNumber = 0;
    std::string windowsDirectory = "C:\\WINDOWS";
    std::map<std::string, std::string> environment;
    // Keyed by the path in upper case: Windows paths ignore case.
    mutable std::map<std::string, std::shared_ptr<TMemoryStream>> files;
    // Keyed by library + "|" + name + "|" + type, upper case.
    std::map<std::string, std::vector<std::uint8_t>> resources;

    void AddFile(const std::string& path, std::vector<std::uint8_t> bytes);
    void AddResource(const std::string& library, const std::string& name, const std::string& type,
                     std::vector<std::uint8_t> bytes);
    // The bytes of a file, or nothing.
    std::optional<std::vector<std::uint8_t>> FileBytes(const std::string& path) const;

    TWinVersion Version() const override { return version; }
    std::uint32_t BuildNumber() const override { return buildNumber; }
    std::string WindowsDirectory() const override { return windowsDirectory; }
    std::optional<std::string> Environment(const std::string& name) const override;
    char PathSeparator() const override { return '\\'; }
    std::optional<std::string> FindFile(const std::string& path) const override;
    std::unique_ptr<TStream> OpenRead(const std::string& path) const override;
    std::unique_ptr<TStream> OpenWrite(const std::string& path) const override;
    std::optional<std::vector<std::uint8_t>> LibraryResource(const std::string& library,
                                                             const std::string& name,
                                                             const std::string& type) const override;
};

}  // namespace bootdisk
