// SPDX-License-Identifier: GPL-3.0-or-later
// The drive's own name out of the Windows storage descriptor, whatever the drive answers.
#include <gtest/gtest.h>

#include "base/Bytes.h"
#include "platform/StorageDescriptor.h"

namespace bootdisk {
namespace {

// A descriptor with the vendor text at 40 and the product text at 60 (0 leaves one out).
std::vector<std::uint8_t> Descriptor(const std::string& vendor, const std::string& product) {
    std::vector<std::uint8_t> answer(80);
    PutLE32(&answer[0], 1);
    PutLE32(&answer[4], 80);
    if (!vendor.empty()) {
        PutLE32(&answer[storage::VendorIdOffset], 40);
        std::copy(vendor.begin(), vendor.end(), answer.begin() + 40);
    }
    PutLE32(&answer[storage::ProductIdOffset], 60);
    std::copy(product.begin(), product.end(), answer.begin() + 60);
    return answer;
}

TEST(StorageDescriptor, VendorAndProductTrimmed) {
    EXPECT_EQ(DescriptorModel(Descriptor("SanDisk ", "Cruzer Blade    ")), "SanDisk Cruzer Blade");
    EXPECT_EQ(DescriptorModel(Descriptor("", "Cruzer")), "Cruzer");
    EXPECT_EQ(DescriptorModel(Descriptor("        ", "Cruzer")), "Cruzer");
    EXPECT_EQ(DescriptorModel(Descriptor("SanDisk", "      ")), "");
}

TEST(StorageDescriptor, TheSerialNumberTrimmedOrNoneWhereItIsMissing) {
    auto answer = Descriptor("SanDisk", "Cruzer");
    EXPECT_EQ(DescriptorSerial(answer), "");
    answer.resize(100);
    PutLE32(&answer[storage::SerialNumberOffset], 80);
    const std::string serial = "  4C530001230411 ";
    std::copy(serial.begin(), serial.end(), answer.begin() + 80);
    EXPECT_EQ(DescriptorSerial(answer), "4C530001230411");
    PutLE32(&answer[storage::SerialNumberOffset], 0xFFFFFFFFu);  // "none", as drivers write it
    EXPECT_EQ(DescriptorSerial(answer), "");
}

TEST(StorageDescriptor, AnswersThatPointOutsideOrNeverEndGiveNoName) {
    auto answer = Descriptor("SanDisk", "Cruzer");
    EXPECT_EQ(DescriptorModel(std::span(answer).first(20)), "");
    PutLE32(&answer[storage::ProductIdOffset], 80);
    EXPECT_EQ(DescriptorModel(answer), "");
    PutLE32(&answer[storage::ProductIdOffset], 0xFFFFFFF0u);
    EXPECT_EQ(DescriptorModel(answer), "");
    // The product runs to the end of the answer without its NUL.
    answer = Descriptor("SanDisk", std::string(20, 'X'));
    EXPECT_EQ(DescriptorModel(answer), "");
}

}  // namespace
}  // namespace bootdisk
