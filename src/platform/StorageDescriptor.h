// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device descriptor Windows answers IOCTL_STORAGE_QUERY_PROPERTY (StorageDeviceProperty)
// with: the drive's own vendor, product and serial number texts, found through offsets into the
// answer.
#include <cstdint>
#include <span>
#include <string>

namespace bootdisk {

namespace storage {
// Offsets of STORAGE_DEVICE_DESCRIPTOR's fields.
inline constexpr std::size_t VendorIdOffset = 12, ProductIdOffset = 16, SerialNumberOffset = 24, HeaderSize = 36;
}  // namespace storage

// "Vendor Product" as the drive names itself, blanks trimmed; the product alone when the vendor is
// missing, empty when the product is. An offset outside the answer or a text without its ending
// NUL counts as missing.
std::string DescriptorModel(std::span<const std::uint8_t> answer);
// The drive's serial number, blanks trimmed; empty when it gives none, under the same rules.
std::string DescriptorSerial(std::span<const std::uint8_t> answer);

}  // namespace bootdisk
