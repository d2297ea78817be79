// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoding of the drive's answers (INQUIRY, capabilities page) and the write parameters page that
// the recorder changes and sends back.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "optical/Optical_device.h"

namespace bootdisk {

inline constexpr std::uint8_t kDeviceTypeInvalid = 10, kDeviceTypeOther = 12;

struct TInquiryInfo {
    std::uint8_t DeviceType = 0;
    std::uint8_t RemovableByte = 0;
    std::uint8_t Version = 0;
    std::uint8_t ResponseFormat = 0;
    std::uint8_t Flags = 0;
    std::string Vendor;   // at most 8 characters
    std::string Product;  // at most 16 characters
};

// The peripheral type names, indexed by the DeviceType class.
inline constexpr std::array<const char*, 13> DeviceTypeNames = {
    "Disk",    "Tape",    "Printer", "Processor",     "Worm",    "CDROM", "Scanner",
    "Optical", "Changer", "Communication", "Invalid", "Any", "Other"};

// answer holds the 165-byte INQUIRY answer (all zero when the command failed).
TInquiryInfo DecodeInquiry(std::span<const std::uint8_t> answer);

// answer is a MODE SENSE(10) answer for page 2Ah; the page follows the header and any block
// descriptors. False (capabilities unchanged) when the answer is too short to hold the page.
bool DecodeCapabilities(std::span<const std::uint8_t> answer, TCapabilities& caps);

using TWriteParameters = std::array<std::uint8_t, 64>;

// Whether a MODE SENSE answer carries page 05h, so that a failed command's answer can still be used.
bool CarriesWriteParametersPage(const TWriteParameters& buffer);

// Turns the drive's page 05h into track-at-once Mode 1 recording that leaves the disc open for a
// further session, and makes it a MODE SELECT parameter list. Its length, or nothing when the page
// length the drive gave does not fit the buffer.
std::optional<std::uint16_t> SetWriteParameters(TWriteParameters& buffer);

}  // namespace bootdisk
