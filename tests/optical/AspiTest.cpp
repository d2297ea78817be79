// SPDX-License-Identifier: GPL-3.0-or-later
// Writers behind an ASPI layer: the support query, the scan, the bounded waits and the choice of
// transport, over the emulated layer.
#include "optical/ASPI.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "optical/Optical_devices.h"
#include "platform/sim/SimAspi.h"

namespace bootdisk {
namespace {

using namespace std::chrono_literals;

TSimAspiAdapter Adapter(std::uint8_t maxTargets, std::vector<TAspiAddress> writers = {}) {
    TSimAspiAdapter adapter;
    adapter.maxTargets = maxTargets;
    for (const auto& at : writers) adapter.units.push_back({at.target, at.lun, MakeSimWriter("sim:")});
    return adapter;
}

std::size_t Logged(const TSimAspi& layer, std::uint8_t command) {
    return std::size_t(std::count_if(layer.Log().begin(), layer.Log().end(),
                                     [command](const TSimAspiLogEntry& e) { return e.command == command; }));
}

TPollOptions NoPause() {
    TPollOptions options;
    options.sleep = [](std::chrono::milliseconds) {};
    return options;
}

TEST(AspiScan, ZeroTargetsAreScannedAsEightAndSixteenTargetsOnTwoAdaptersTake256Queries) {
    std::vector<TSimAspiAdapter> one;
    one.push_back(Adapter(0, {{0, 7, 0}}));
    auto eight = std::make_shared<TSimAspi>(std::move(one));
    TASPIdevices found(eight);
    EXPECT_EQ(Logged(*eight, srb::SC_GET_DEV_TYPE), 8u * 8u);
    ASSERT_EQ(found.Count(), 1u);
    EXPECT_EQ(found.Item(0).Address, (TAspiAddress{0, 7, 0}));
    EXPECT_EQ(found.Item(0).AdapterInquiry[srbha::MaxTargets], 8);

    std::vector<TSimAspiAdapter> two;
    two.push_back(Adapter(16));
    two.push_back(Adapter(16, {{1, 15, 7}}));
    auto sixteen = std::make_shared<TSimAspi>(std::move(two));
    TASPIdevices both(sixteen);
    EXPECT_EQ(Logged(*sixteen, srb::SC_HA_INQUIRY), 2u);
    EXPECT_EQ(Logged(*sixteen, srb::SC_GET_DEV_TYPE), 2u * 16u * 8u);
    ASSERT_EQ(both.Count(), 1u);
    auto& device = both.Item(0);
    EXPECT_EQ(device.Location(), "aspi 1:15:7");
    EXPECT_EQ(device.DisplayName, "SIM WRITER (BOOTDISK)");
    EXPECT_EQ(device.DeviceTypeBlock[srbdev::DeviceType], kDeviceTypeCdRom);
    EXPECT_TRUE(device.IsWriter());
    EXPECT_EQ(device.CurrentProfile, 0x0009u);  // CD-R, from GET CONFIGURATION
    EXPECT_EQ(device.FeatureHeader >> 16, 0x0020u);
    // The mode commands carry the LUN in byte 1.
    const auto& sent = sixteen->Writer({1, 15, 7})->Commands();
    const auto modeSense = std::find_if(sent.begin(), sent.end(), [](const TSimCommand& c) { return c.cdb[0] == 0x5A; });
    ASSERT_NE(modeSense, sent.end());
    EXPECT_EQ(modeSense->cdb[1], 7 << 5 | 0x08);

    // A failed capabilities page leaves every flag false.
    sixteen->Writer({1, 15, 7})->Config().failingOpcode = scsi::kModeSense10;
    EXPECT_FALSE(device.IsWriter());
    EXPECT_FALSE(device.Capabilities.ReadCDR);
}

TEST(AspiSupport, StatusE8hMeansUnavailableWhateverTheAdapterCount) {
    std::vector<TSimAspiAdapter> adapters;
    adapters.push_back(Adapter(8, {{0, 1, 0}}));
    auto layer = std::make_shared<TSimAspi>(std::move(adapters));
    layer->Config().supportStatus = srb::SS_NO_ADAPTERS;
    layer->Config().reportedAdapters = 3;
    const auto info = QueryAspiSupport(*layer);
    EXPECT_EQ(info.SupportInfo, 0xE803u);
    EXPECT_FALSE(info.Available);
    EXPECT_EQ(info.AdapterCount, 0);
    EXPECT_EQ(TASPIdevices(layer).Count(), 0u);
    EXPECT_TRUE(layer->Log().empty());
    EXPECT_FALSE(QueryAspiSupport(*HostAspiLayer()).Available);  // no layer on this host
}

TEST(OpticalDevices, AReadyAspiLayerWinsAndAWriterSeenBothWaysIsListedOnce) {
    std::vector<std::string> opened;
    TPassThroughHost host;
    host.names = [] { return std::vector<std::string>{"E:", "F:"}; };
    host.open = [&opened](const std::string& name) -> std::unique_ptr<IScsiTransport> {
        opened.push_back(name);
        return MakeSimWriter("sim:");
    };
    const auto layer = [](std::uint8_t status) {
        std::vector<TSimAspiAdapter> adapters;
        adapters.push_back(Adapter(8, {{0, 1, 0}}));
        auto disk = std::make_unique<TSimWriter>();
        disk->Config().peripheral = 0x00;
        adapters[0].units.push_back({0, 0, std::move(disk)});
        auto aspi = std::make_shared<TSimAspi>(std::move(adapters));
        aspi->Config().supportStatus = status;
        return aspi;
    };

    TOpticalDevices withAspi(host, layer(srb::SS_COMP));
    EXPECT_TRUE(withAspi.AspiAvailable());
    ASSERT_EQ(withAspi.Count(), 1u);  // the disk at target 0 is not a CD-ROM-class device
    EXPECT_EQ(withAspi.Item(0).Location(), "aspi 0:1:0");
    EXPECT_TRUE(opened.empty());

    TOpticalDevices without(host, layer(srb::SS_NO_ADAPTERS));
    EXPECT_FALSE(without.AspiAvailable());
    ASSERT_EQ(without.Count(), 2u);
    EXPECT_EQ(without.Item(0).Location(), "sim:");
    EXPECT_EQ(opened, (std::vector<std::string>{"E:", "F:"}));
}

class AspiWaits : public ::testing::Test {
protected:
    AspiWaits() {
        std::vector<TSimAspiAdapter> adapters;
        adapters.push_back(Adapter(8, {{0, 1, 0}}));
        layer = std::make_shared<TSimAspi>(std::move(adapters));
        TASPIdevices scan(layer, NoPause());
        device = std::move(scan.Take().front());
        writer = layer->Writer({0, 1, 0});
    }
    bool Record() {
        std::vector<std::uint8_t> image(740 * 2048, 0xA5);
        TMemoryStream source(image);
        return device->WriteImage(status, source, nullptr);
    }
    std::size_t Sent(std::uint8_t opcode) const {
        return std::size_t(std::count_if(writer->Commands().begin(), writer->Commands().end(),
                                         [opcode](const TSimCommand& c) { return c.cdb[0] == opcode; }));
    }

    std::shared_ptr<TSimAspi> layer;
    std::unique_ptr<TASPIdevice> device;
    TSimWriter* writer = nullptr;
    TBurnStatus status;
};

TEST_F(AspiWaits, ARequestStillPendingAfter100SecondsGives27AndIsAborted) {
    layer->Config().completionDelay = 99'999ms;  // slow but in time
    TDiscState state;
    EXPECT_TRUE(device->CheckReady(state));
    EXPECT_EQ(layer->Waits().back(), 99'999ms);

    layer->Config().neverCompletes = scsi::kTestUnitReady;
    EXPECT_FALSE(device->CheckReady(state));
    EXPECT_EQ(state.Code, burncode::NotReady);
    EXPECT_EQ(state.Result, 27);
    EXPECT_EQ(layer->Waits().back(), 100'000ms);
    const auto& abort = layer->Log().back();
    EXPECT_EQ(abort.command, srb::SC_ABORT_SRB);
    EXPECT_EQ(abort.opcode, scsi::kTestUnitReady);
    EXPECT_EQ(abort.returned, srb::SS_COMP);
    EXPECT_EQ(Sent(scsi::kTestUnitReady), 1u);  // the aborted one never reached the drive
}

TEST_F(AspiWaits, AnImmediateCommandThatNeverCompletesIsBoundedLikeEveryOther) {
    layer->Config().neverCompletes = scsi::kSynchronizeCache;
    EXPECT_FALSE(Record());
    EXPECT_EQ(status.Code, burncode::SyncCache);
    EXPECT_EQ(layer->Waits().back(), 100'000ms);
    EXPECT_EQ(layer->Log().back().command, srb::SC_ABORT_SRB);
    EXPECT_EQ(Sent(scsi::kReadDiscInformation), 0u);  // no polling after a command that did not complete
    EXPECT_EQ(writer->Disc().size(), 740u * 2048u);
}

TEST_F(AspiWaits, RefusalsAndHostFaultsMapToTheirResults) {
    TAspiTransport transport(layer, {0, 1, 0});
    layer->Config().refusal = TSimAspiFault{scsi::kTestUnitReady, 0xE5};  // busy
    const auto waits = layer->Waits().size();
    EXPECT_EQ(transport.Execute(TestUnitReady()), 8);
    EXPECT_EQ(layer->Waits().size(), waits);  // refused at once, nothing waited for
    layer->Config().refusal.reset();
    layer->Config().hostFault = TSimAspiFault{scsi::kTestUnitReady, 0x11};  // selection time-out
    EXPECT_EQ(transport.Execute(TestUnitReady()), 17);
    EXPECT_EQ(TAspiTransport(layer, {0, 2, 0}).Execute(TestUnitReady()), 5);  // an empty target
}

// The layer tells a transfer that fell short by the host-adapter status data over-run or
// under-run, without a count; the command is named with what it should have moved.
TEST_F(AspiWaits, ATransferThatFallsShortIsADataUnderRunNamingTheCommand) {
    TAspiTransport transport(layer, {0, 1, 0});
    std::vector<std::uint8_t> data(2 * 2048, 0x11);
    ASSERT_EQ(transport.Execute(Write10(0, 2, data.data())), kScsiOk);
    writer->Config().shortReadFrom = 1;
    EXPECT_EQ(transport.Execute(Read10(0, 2, data.data())), kScsiDataUnderrun);
    EXPECT_EQ(transport.FailureReason(),
              "READ(10) of 2 blocks at 0 did not move its 4096 bytes (data over-run or under-run)");
    EXPECT_EQ(transport.Execute(Read10(0, 1, data.data())), kScsiOk);
    EXPECT_EQ(transport.FailureReason(), "");
}

// A layer that cannot abort a request: it finishes it later, writing into the request's block and
// data buffer and signalling its event after the caller has given up waiting.
class TLateLayer : public IAspiLayer {
public:
    class TEvent : public IAspiEvent {
    public:
        explicit TEvent(int& alive) : alive_(alive) { ++alive_; }
        ~TEvent() override { --alive_; }
        bool Wait(std::chrono::milliseconds /*limit*/) override { return false; }
        void Reset() override {}

    private:
        int& alive_;
    };

    std::uint32_t GetASPI32SupportInfo() override { return 0x0101; }
    std::uint8_t SendASPI32Command(const TAspiRequest& request) override {
        if (request.block[srb::Cmd] == srb::SC_ABORT_SRB) return srb::SS_ABORT_FAIL;
        block = request.block;
        buffer = request.buffer;
        return srb::SS_PENDING;
    }
    std::unique_ptr<IAspiEvent> NewEvent() override { return std::make_unique<TEvent>(events); }

    std::span<std::uint8_t> block;
    std::uint8_t* buffer = nullptr;
    int events = 0;  // alive
};

TEST(AspiTransport, ARequestGivenUpOnKeepsItsBlockAndBufferForTheLayerThatStillWrites) {
    auto layer = std::make_shared<TLateLayer>();
    TAspiTransport transport(layer, {0, 1, 0});
    std::array<std::uint8_t, discinfo::kSize> answer{};
    EXPECT_EQ(transport.Execute(ReadDiscInformation(answer.data())), kScsiTimedOut);
    EXPECT_EQ(layer->events, 1) << "the request's event is kept for the layer to signal";
    ASSERT_NE(layer->buffer, nullptr);
    EXPECT_NE(layer->buffer, answer.data()) << "the layer writes into the transport's own buffer";
    // The late completion lands in memory the transport still owns (the sanitizer build checks).
    EXPECT_EQ(layer->block[srbexec::CDBByte], scsi::kReadDiscInformation);
    std::fill(layer->block.begin(), layer->block.end(), std::uint8_t(0xAB));
    std::fill_n(layer->buffer, answer.size(), std::uint8_t(0xCD));
    EXPECT_EQ(answer, decltype(answer){}) << "nothing reaches the caller's answer";
}

}  // namespace
}  // namespace bootdisk
