#pragma once
// Named byte resources linked into the executable (the boot payloads).
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

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

}  // namespace bootdisk
