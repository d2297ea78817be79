// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Little- and big-endian field access for on-disk and wire formats. Formats are read and written
// through these, never by casting packed structs.
#include <cstddef>
#include <cstdint>

namespace bootdisk {

inline std::uint16_t GetLE16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::uint32_t GetLE32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
inline void PutLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
inline void PutLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

inline std::uint16_t GetBE16(const std::uint8_t* p) { return std::uint16_t(p[0] << 8 | p[1]); }
inline std::uint32_t GetBE24(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]);
}
inline std::uint32_t GetBE32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}
inline void PutBE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v >> 8);
    p[1] = std::uint8_t(v);
}
inline void PutBE24(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v >> 16);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v);
}
inline void PutBE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (24 - 8 * i));
}

}  // namespace bootdisk
