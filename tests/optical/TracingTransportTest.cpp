// SPDX-License-Identifier: GPL-3.0-or-later
// The trace line of every command, and the scan's choice of devices.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

#include "optical/Optical_devices.h"
#include "optical/SPTI.h"
#include "optical/ScsiCommands.h"
#include "optical/TracingTransport.h"
#include "platform/sim/SimWriter.h"

namespace bootdisk {
namespace {

// Answers every command with a fixed reply; INQUIRY gets the given peripheral byte.
class TFixedTransport : public TStatusTransport {
public:
    explicit TFixedTransport(TScsiReply reply, std::uint8_t peripheral = 0)
        : reply_(std::move(reply)), peripheral_(peripheral) {}
    TScsiReply Deliver(const TScsiRequest& request) override {
        if (reply_.delivered && request.cdb[0] == scsi::kInquiry && request.data) request.data[0] = peripheral_;
        return reply_;
    }
    std::string Describe() const override { return "fixed"; }

private:
    TScsiReply reply_;
    std::uint8_t peripheral_;
};

std::string Trace(const TScsiReply& reply, const TScsiRequest& request) {
    std::FILE* file = std::tmpfile();
    TTracingTransport tracing(std::make_unique<TFixedTransport>(reply), file);
    tracing.Execute(request);
    EXPECT_EQ(tracing.Describe(), "fixed");
    std::rewind(file);
    char line[512] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    return read ? line : "";
}

TEST(TracingTransport, OneLinePerCommandWithTheResultCode) {
    std::vector<std::uint8_t> data(20480);
    EXPECT_EQ(Trace({true, 0, {}, 20480}, Write10(0, 10, data.data())), "2a 00 00 00 00 00 00 00 0a 00 out 20480 -> 0\n");
    EXPECT_EQ(Trace({true, 2}, ReadDiscInformation(data.data())), "51 00 00 00 00 00 00 00 22 00 in 34 -> 1\n");
    EXPECT_EQ(Trace({true, 4}, TestUnitReady()), "00 00 00 00 00 00 none 0 -> 21\n");
    EXPECT_EQ(Trace({true, 8}, BlankDisc(TBlankType::Minimal)), "a1 11 00 00 00 00 00 00 00 00 00 00 none 0 -> 10\n");
    EXPECT_EQ(Trace({false, 0}, SynchronizeCache()), "35 02 00 00 00 00 00 00 00 00 none 0 -> 5\n");
}

// The drive's reason in words and numbers: fixed and descriptor format, a code the table names and
// one it does not; bytes that are no sense data are shown but not read.
TEST(TracingTransport, CheckConditionAddsTheSenseBytesAndTheirMeaning) {
    std::vector<std::uint8_t> data(20480);
    EXPECT_EQ(Trace({true, 2, FixedSense({0x03, 0x0C, 0x00})}, Write10(100, 10, data.data())),
              "2a 00 00 00 00 64 00 00 0a 00 out 20480 -> 1 sense 70 00 03 00 00 00 00 0a 00 00 00 00 0c 00 00 00 00 00 "
              "(medium error: write error (03/0C/00))\n");
    EXPECT_EQ(Trace({true, 2, {0x72, 0x02, 0x3A, 0x01, 0, 0, 0, 0}}, TestUnitReady()),
              "00 00 00 00 00 00 none 0 -> 1 sense 72 02 3a 01 00 00 00 00 "
              "(not ready: medium not present - tray closed (02/3A/01))\n");
    EXPECT_EQ(DescribeSense(FixedSense({0x05, 0x99, 0x01})), "illegal request (05/99/01)");
    EXPECT_EQ(Trace({true, 2, {0x00, 0x05}}, TestUnitReady()), "00 00 00 00 00 00 none 0 -> 1 sense 00 05 (not decoded)\n");
    // Only CHECK CONDITION carries sense data; a good answer clears what the last failure left.
    TSimWriter writer;
    writer.Config().ready = false;
    EXPECT_EQ(writer.Execute(TestUnitReady()), kScsiCheckCondition);
    EXPECT_EQ(DescribeSense(writer.LastSense()), "not ready: medium not present (02/3A/00)");
    writer.Config().ready = true;
    EXPECT_EQ(writer.Execute(TestUnitReady()), kScsiOk);
    EXPECT_TRUE(writer.LastSense().empty());
}

TEST(OpticalDevices, KeepsTheCdRomClassInScanOrder) {
    TPassThroughHost host;
    host.names = [] { return std::vector<std::string>{"disk", "writer", "gone", "locked", "reader", "silent"}; };
    host.open = [](const std::string& name) -> std::unique_ptr<IScsiTransport> {
        if (name == "disk") return std::make_unique<TFixedTransport>(TScsiReply{true, 0}, 0x00);
        if (name == "writer") return MakeSimWriter("sim:");
        if (name == "reader") return std::make_unique<TFixedTransport>(TScsiReply{true, 0}, 0x05);
        if (name == "silent") return std::make_unique<TFixedTransport>(TScsiReply{false, 0}, 0x05);
        if (name == "locked") throw EDeviceOpenError("cannot open locked: Permission denied");
        throw std::runtime_error("no SCSI commands for " + name);
    };
    TOpticalDevices devices(host);
    // A drive that is there but refused to open is named with the reason; a node that takes no SCSI
    // commands is no drive and is not.
    EXPECT_EQ(devices.Unopened, std::vector<std::string>{"cannot open locked: Permission denied"});
    ASSERT_EQ(devices.Count(), 2u);
    EXPECT_EQ(devices.Item(0).Location(), "sim:");
    EXPECT_TRUE(devices.Item(0).IsWriter());
    EXPECT_EQ(devices.Item(1).Location(), "fixed");
    EXPECT_FALSE(devices.Item(1).IsWriter());  // a reader without write capabilities stays unlisted
    EXPECT_FALSE(devices.AspiAvailable());
}

TEST(OpticalDevices, OpensByName) {
    const auto sim = OpenDevice("sim:full", false);
    ASSERT_NE(sim.sim, nullptr);
    EXPECT_EQ(sim.device->Location(), "sim:full");
    const auto traced = OpenDevice("sim:", true);
    EXPECT_NE(traced.sim, nullptr);
    auto* device = dynamic_cast<TSPTIdevice*>(traced.device.get());
    ASSERT_NE(device, nullptr);
    EXPECT_NE(dynamic_cast<TTracingTransport*>(&device->Transport()), nullptr);
    const auto aspi = OpenDevice("sim-aspi:", false);
    EXPECT_EQ(aspi.device->Location(), "aspi 0:1:0");
    EXPECT_NE(aspi.sim, nullptr);
    EXPECT_THROW(OpenDevice("sim:bogus", false), std::invalid_argument);
    EXPECT_THROW(OpenDevice("sim-aspi:bogus", false), std::invalid_argument);
    EXPECT_THROW(OpenDevice("iscsi://h/iqn.x", false), std::invalid_argument);
    EXPECT_THROW(OpenDevice("/nonexistent/sr0", false), std::runtime_error);
}

}  // namespace
}  // namespace bootdisk
