// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "base/Bytes.h"
#include "optical/DSKburningIO.h"
#include "optical/SPTI.h"
#include "optical/ScsiCommands.h"
#include "optical/TracingTransport.h"
#include "platform/sim/ScriptedDialogs.h"
#include "platform/sim/SimWriter.h"

namespace bootdisk {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kImageBlocks = 740;

struct TProgressCall {
    TBurnStage stage;
    double done, fill;
};

class TRecordingSink : public TBurningIO {
public:
    std::vector<TBurnStage> stages;
    std::vector<TProgressCall> progress;
    void Progress(TBurnStage stage, double done, double bufferFill) override {
        progress.push_back({stage, done, bufferFill});
    }
    void StageChanged(TBurnStage stage) override { stages.push_back(stage); }
};

Bytes Image(std::size_t size) {
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i) image[i] = std::uint8_t(i * 7 + i / 2048);
    return image;
}

class RecordingTest : public ::testing::Test {
protected:
    void Attach(std::unique_ptr<TSimWriter> sim) {
        writer = sim.get();
        TPollOptions options;
        options.maxPolls = 20;
        options.sleep = [](std::chrono::milliseconds) {};
        device = std::make_unique<TSPTIdevice>(std::move(sim), options);
    }
    void SetUp() override { Attach(MakeSimWriter("sim:")); }

    bool Record(const Bytes& image) {
        TMemoryStream source(image);
        return device->WriteImage(status, source, &sink);
    }
    std::vector<TSimCommand> Sent(std::uint8_t opcode) const {
        std::vector<TSimCommand> sent;
        std::copy_if(writer->Commands().begin(), writer->Commands().end(), std::back_inserter(sent),
                     [opcode](const TSimCommand& c) { return c.cdb[0] == opcode; });
        return sent;
    }
    std::vector<std::uint16_t> WriteSizes() const {
        std::vector<std::uint16_t> sizes;
        for (const auto& write : Sent(scsi::kWrite10)) sizes.push_back(GetBE16(&write.cdb[7]));
        return sizes;
    }

    TSimWriter* writer = nullptr;
    std::unique_ptr<TSPTIdevice> device;
    TBurnStatus status;
    TRecordingSink sink;
};

TEST_F(RecordingTest, WriterIdentifiesItselfAndItsCapabilities) {
    EXPECT_EQ(device->DisplayName, "SIM WRITER (BOOTDISK)");
    EXPECT_EQ(device->DeviceType, kDeviceTypeCdRom);
    EXPECT_EQ(device->TypeName, "CDROM");
    EXPECT_TRUE(device->IsWriter());
    EXPECT_EQ(device->Capabilities.MaxWriteSpeed, 48u);
    EXPECT_EQ(device->Capabilities.MaxReadSpeed, 40u);

    auto sim = std::make_unique<TSimWriter>();
    sim->Config().blockDescriptor = true;
    Attach(std::move(sim));
    EXPECT_TRUE(device->IsWriter());
    EXPECT_EQ(device->Capabilities.MaxWriteSpeed, 48u);
    EXPECT_EQ(GetBE16(&device->CapabilityPage[6]), 8);
}

TEST_F(RecordingTest, BootImageGoesOutIn74WritesAndLandsOnTheDiscByteForByte) {
    const auto image = Image(kImageBlocks * 2048);
    ASSERT_TRUE(Record(image));
    EXPECT_EQ(status.Code, burncode::CloseSession);
    EXPECT_EQ(writer->Disc(), image);
    EXPECT_EQ(WriteSizes(), std::vector<std::uint16_t>(74, 10));
    const auto writes = Sent(scsi::kWrite10);
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(GetBE32(&writes[i].cdb[2]), i * 10);
        EXPECT_EQ(writes[i].length, 20'480u);
    }

    // Every write is preceded by a buffer query; the sequence ends with flush and both closes.
    const auto& commands = writer->Commands();
    std::vector<std::uint8_t> opcodes;
    for (const auto& c : commands)
        if (c.cdb[0] != scsi::kReadDiscInformation && c.cdb[0] != scsi::kInquiry &&
            !(c.cdb[0] == scsi::kModeSense10 && c.cdb[2] == 0x2A))
            opcodes.push_back(c.cdb[0]);
    std::vector<std::uint8_t> expected = {scsi::kModeSense10, scsi::kModeSelect10, scsi::kReadTrackInformation,
                                          scsi::kReadBufferCapacity};
    for (int i = 0; i < 74; ++i) expected.insert(expected.end(), {scsi::kReadBufferCapacity, scsi::kWrite10});
    for (const auto immediate : {scsi::kSynchronizeCache, scsi::kCloseTrackSession, scsi::kCloseTrackSession}) {
        expected.push_back(immediate);
        expected.insert(expected.end(), 2, scsi::kReadBufferCapacity);  // two busy polls, each reporting
    }
    EXPECT_EQ(opcodes, expected);

    const auto& select = writer->ModeSelectList();
    ASSERT_EQ(select.size(), 60u);
    EXPECT_EQ(GetBE16(&select[0]), 0);
    EXPECT_EQ(Bytes(select.begin() + 8, select.begin() + 13), (Bytes{0x05, 0x32, 0x01, 0xC4, 0x08}));
    EXPECT_EQ(GetBE32(&select[18]), 16u);  // the drive's own packet size stays
    EXPECT_EQ(GetBE16(&select[22]), 0);

    EXPECT_EQ(sink.stages, (std::vector<TBurnStage>{TBurnStage::Prepare, TBurnStage::Write, TBurnStage::SyncCache,
                                                   TBurnStage::CloseTrack, TBurnStage::CloseSession}));
    ASSERT_EQ(sink.progress.size(), 74u + 6u);
    for (std::size_t i = 0; i < 74; ++i) {
        EXPECT_EQ(sink.progress[i].stage, TBurnStage::Prepare);
        if (i > 0) {
            EXPECT_GT(sink.progress[i].done, sink.progress[i - 1].done);
        }
    }
    EXPECT_EQ(sink.progress[73].done, 1.0);
    for (std::size_t i = 74; i < 78; ++i) EXPECT_EQ(sink.progress[i].stage, TBurnStage::Write);
    for (std::size_t i = 78; i < 80; ++i) EXPECT_EQ(sink.progress[i].stage, TBurnStage::CloseTrack);
    for (const auto& call : sink.progress) EXPECT_TRUE(call.fill >= 0.0 && call.fill <= 1.0);
}

TEST_F(RecordingTest, FreeSpaceMustCoverTheImageRoundedUpToAWholeChunkAndOneMore) {
    struct TCase {
        std::uint32_t freeBlocks;
        bool records;
    };
    for (const auto& c : {TCase{740, false}, TCase{749, false}, TCase{750, true}, TCase{2'097'152, true}}) {
        SCOPED_TRACE(c.freeBlocks);
        Attach(MakeSimWriter("sim:"));
        writer->Config().freeBlocks = c.freeBlocks;
        EXPECT_EQ(Record(Image(kImageBlocks * 2048)), c.records);
        EXPECT_EQ(status.Code, c.records ? burncode::CloseSession : burncode::NoFreeSpace);
        EXPECT_EQ(Sent(scsi::kWrite10).size(), c.records ? 74u : 0u);
    }
    Attach(MakeSimWriter("sim:full"));
    EXPECT_FALSE(Record(Image(kImageBlocks * 2048)));
    EXPECT_EQ(status.Code, burncode::NoFreeSpace);
}

TEST_F(RecordingTest, DriveBufferLimitsTheChunkToWholeBlocks) {
    const auto image = Image(kImageBlocks * 2048);
    Attach(MakeSimWriter("sim:buffer16k"));
    ASSERT_TRUE(Record(image));
    auto expected = std::vector<std::uint16_t>(92, 8);
    expected.push_back(4);
    EXPECT_EQ(WriteSizes(), expected);
    EXPECT_EQ(writer->Disc(), image);

    Attach(MakeSimWriter("sim:"));
    writer->Config().bufferBytes = 5000;  // two and a bit blocks
    ASSERT_TRUE(Record(Image(5 * 2048)));
    EXPECT_EQ(WriteSizes(), (std::vector<std::uint16_t>{2, 2, 1}));

    Attach(MakeSimWriter("sim:smallbuffer"));
    EXPECT_FALSE(Record(image));
    EXPECT_EQ(status.Code, burncode::BufferCapacity);
    EXPECT_TRUE(Sent(scsi::kWrite10).empty());
}

TEST_F(RecordingTest, PartialLastBlockIsPaddedWithZerosAndRecordingStartsAtTheSourcePosition) {
    const auto image = Image(3 * 2048 + 100);
    TMemoryStream source(image);
    source.SetPosition(2048);
    ASSERT_TRUE(device->WriteImage(status, source, nullptr));
    EXPECT_EQ(WriteSizes(), std::vector<std::uint16_t>{3});
    Bytes expected(image.begin() + 2048, image.end());
    expected.resize(3 * 2048, 0);
    EXPECT_EQ(writer->Disc(), expected);
}

TEST_F(RecordingTest, InvisibleTrackMustBeBlank) {
    for (const auto& [state, records] : {std::pair{0x41, true}, {0x4F, true}, {0xC1, true}, {0x01, false},
                                        {0x61, false}, {0x81, false}}) {
        SCOPED_TRACE(state);
        Attach(MakeSimWriter("sim:"));
        writer->Config().trackState = std::uint8_t(state);
        EXPECT_EQ(Record(Image(2048)), records);
        if (!records) {
            EXPECT_EQ(status.Code, burncode::InvalidTrack);
        }
    }
}

TEST_F(RecordingTest, FailedModeSenseIsUsedOnlyWhenItStillCarriesPage05h) {
    writer->Config().failingOpcode = scsi::kModeSense10;
    writer->Config().failureCarriesData = true;
    EXPECT_TRUE(Record(Image(2048)));
    EXPECT_EQ(Sent(scsi::kModeSelect10).size(), 1u);

    Attach(MakeSimWriter("sim:"));
    writer->Config().failingOpcode = scsi::kModeSense10;
    EXPECT_FALSE(Record(Image(2048)));
    EXPECT_EQ(status.Code, burncode::GetWriteParameters);
    EXPECT_EQ(status.Result, 1);
    EXPECT_TRUE(Sent(scsi::kModeSelect10).empty());
}

TEST_F(RecordingTest, EachFailingStepStopsWithItsCode) {
    const std::vector<std::pair<std::uint8_t, std::uint8_t>> steps = {
        {scsi::kModeSelect10, burncode::GetWriteParameters}, {scsi::kReadTrackInformation, burncode::TrackInformation},
        {scsi::kReadBufferCapacity, burncode::BufferCapacity}, {scsi::kWrite10, burncode::WriteError},
        {scsi::kSynchronizeCache, burncode::SyncCache},      {scsi::kCloseTrackSession, burncode::CloseTrack}};
    for (const auto& [opcode, code] : steps) {
        SCOPED_TRACE(int(opcode));
        Attach(MakeSimWriter("sim:"));
        writer->Config().failingOpcode = opcode;
        EXPECT_FALSE(Record(Image(4 * 2048)));
        EXPECT_EQ(status.Code, code);
        EXPECT_EQ(writer->Commands().back().cdb[0], opcode);  // nothing is sent after the failure
    }
}

TEST_F(RecordingTest, DriveThatNeverFinishesFlushingFailsWithTheFlushCode) {
    writer->Config().neverCompletes = true;
    EXPECT_FALSE(Record(Image(2048)));
    EXPECT_EQ(status.Code, burncode::SyncCache);
}

TEST_F(RecordingTest, CheckReadyReportsTheDiscState) {
    TDiscState state;
    ASSERT_TRUE(device->CheckReady(state));
    EXPECT_EQ(state.DiscStatus, 0);
    EXPECT_FALSE(state.Erasable);

    Attach(MakeSimWriter("sim:appendable"));
    state = {};
    ASSERT_TRUE(device->CheckReady(state));
    EXPECT_EQ(state.DiscStatus, 1);

    Attach(MakeSimWriter("sim:notready"));
    state = {};
    EXPECT_FALSE(device->CheckReady(state));
    EXPECT_EQ(state.Code, burncode::NotReady);
    EXPECT_EQ(state.Result, 1);

    Attach(MakeSimWriter("sim:"));
    writer->Config().failingOpcode = scsi::kReadDiscInformation;
    state = {};
    EXPECT_FALSE(device->CheckReady(state));
    EXPECT_EQ(state.Code, burncode::ScsiError);
}

TEST_F(RecordingTest, RecordedDiscIsLeftOpenForAFurtherSession) {
    ASSERT_TRUE(Record(Image(2048)));
    TDiscState state;
    ASSERT_TRUE(device->CheckReady(state));
    EXPECT_EQ(state.DiscStatus, 1);
}

TEST_F(RecordingTest, CdRecordableCannotBeBlanked) {
    int polls = 0;
    EXPECT_EQ(device->Blank(true, [&] { ++polls; }), 1);
    EXPECT_EQ(polls, 0);
    EXPECT_EQ(writer->Commands().back().cdb[1], 0x10);
}

// A drive that answers GOOD having moved less than asked must not pass for one that read the disc:
// the short transfer is named where the transport reports it, and where it does not, the buffer
// holds bytes unlike the expected ones rather than the last chunk's (which, for an image of equal
// chunks, would match).
TEST_F(RecordingTest, AReadBackThatMovesNoDataIsNeverAMatch) {
    const Bytes image(kImageBlocks * 2048, 0x5A);
    const auto readBack = [&](std::unique_ptr<IScsiTransport> transport) {
        TSPTIdevice drive(std::move(transport));
        TMemoryStream source(image);
        TBurnStatus written;
        TReadBackStatus result;
        EXPECT_TRUE(drive.WriteImage(written, source, nullptr));
        source.Rewind();
        EXPECT_FALSE(drive.ReadBack(result, source, nullptr));
        return result;
    };
    const auto reported = readBack(MakeSimWriter("sim:shortread"));
    EXPECT_TRUE(reported.Unreadable);
    EXPECT_EQ(reported.Sector, 20u);
    EXPECT_EQ(reported.Result, kScsiDataUnderrun);
    EXPECT_EQ(reported.Reason, "READ(10) of 10 blocks at 20 moved 0 of 20480 bytes");

    // The same drive behind a transport that tells nothing of the count.
    class TCountless : public TStatusTransport {
    public:
        TScsiReply Deliver(const TScsiRequest& request) override {
            auto reply = drive_->Deliver(request);
            reply.transferred = request.length;
            return reply;
        }
        std::string Describe() const override { return "countless"; }

    private:
        std::unique_ptr<TSimWriter> drive_ = MakeSimWriter("sim:shortread");
    };
    const auto unreported = readBack(std::make_unique<TCountless>());
    EXPECT_FALSE(unreported.Unreadable);
    EXPECT_EQ(unreported.Sector, 20u);
}

// The read-back asks for the disc itself (FUA), not the drive's cache of what it was sent; a drive
// that refuses the bit as an illegal request is read without it from then on, and the trace says
// so. A bad sector inside a chunk is named, not the chunk's first.
TEST_F(RecordingTest, TheReadBackReadsTheDiscAndNamesTheBadSector) {
    const auto image = Image(kImageBlocks * 2048);
    writer->Config().corruptBlock = 105;
    ASSERT_TRUE(Record(image));
    TMemoryStream source(image);
    TReadBackStatus result;
    EXPECT_FALSE(device->ReadBack(result, source, nullptr));
    EXPECT_FALSE(result.Unreadable);
    EXPECT_EQ(result.Sector, 105u);
    const auto reads = Sent(scsi::kRead10);
    ASSERT_EQ(reads.size(), 11u);
    for (const auto& read : reads) EXPECT_EQ(read.cdb[1], scsi::kForceUnitAccess);

    auto sim = MakeSimWriter("sim:");
    sim->Config().refusesFua = true;
    auto* refusing = sim.get();
    std::FILE* trace = std::tmpfile();
    TSPTIdevice drive(std::make_unique<TTracingTransport>(std::move(sim), trace));
    TMemoryStream recorded(image);
    ASSERT_TRUE(drive.WriteImage(status, recorded, nullptr));
    recorded.Rewind();
    EXPECT_TRUE(drive.ReadBack(result, recorded, nullptr)) << result.Reason;
    std::vector<std::uint8_t> flags;
    for (const auto& command : refusing->Commands())
        if (command.cdb[0] == scsi::kRead10) flags.push_back(command.cdb[1]);
    ASSERT_EQ(flags.size(), 75u);
    EXPECT_EQ(flags[0], scsi::kForceUnitAccess);
    EXPECT_EQ(std::count(flags.begin(), flags.end(), 0), 74);
    std::string lines(1 << 20, '\0');
    std::rewind(trace);
    lines.resize(std::fread(lines.data(), 1, lines.size(), trace));
    std::fclose(trace);
    EXPECT_NE(lines.find("# the drive refuses READ(10) with FUA as an illegal request; reading back without it\n"),
              std::string::npos);
}

TEST(SimWriterFactoryTest, KnowsOnlyItsOwnSpecs) {
    for (const auto* name : {"sim:", "sim:appendable", "sim:notready", "sim:full", "sim:smallbuffer", "sim:buffer16k"}) {
        const auto sim = MakeSimWriter(name);
        ASSERT_TRUE(sim) << name;
        EXPECT_EQ(sim->Describe(), name);
    }
    EXPECT_FALSE(MakeSimWriter("sim:unknown"));
    EXPECT_FALSE(MakeSimWriter("/dev/sr0"));
    EXPECT_FALSE(MakeSimWriter(""));
}

TEST(DSKburningIOTest, StagesMapOntoTheCopyFraction) {
    TScriptedDialogs dialogs;
    std::vector<double> reported;
    TDSKburningIO io(dialogs, [&](double fraction) { reported.push_back(fraction); });
    io.Progress(TBurnStage::Prepare, 1.0, 0.7);
    io.Progress(TBurnStage::Write, 0.0, 1.0);
    io.Progress(TBurnStage::SyncCache, 0.0, 0.25);
    EXPECT_EQ(dialogs.pumps, 3);
    io.Progress(TBurnStage::CloseTrack, 0.0, 0.5);
    EXPECT_EQ(dialogs.pumps, 5);
    io.Progress(TBurnStage::CloseSession, 0.0, 0.5);
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_DOUBLE_EQ(reported[0], 0.4);
    EXPECT_DOUBLE_EQ(reported[1], 0.5);
    EXPECT_DOUBLE_EQ(reported[2], 0.8);
}

TEST_F(RecordingTest, ACommandThatNeverReachedTheDriveCarriesTheSystemsWords) {
    // The host loses the drive at the third WRITE(10).
    class TUnplugged : public TStatusTransport {
    public:
        TScsiReply Deliver(const TScsiRequest& request) override {
            if (request.cdb[0] == scsi::kWrite10 && ++writes_ == 3) {
                reason_ = "The device is not connected.";
                return {};
            }
            reason_.clear();
            return drive_.Deliver(request);
        }
        std::string Describe() const override { return "E:"; }

    protected:
        std::string DeliveryFailure() const override { return reason_; }

    private:
        TSimWriter drive_;
        int writes_ = 0;
        std::string reason_;
    };
    device = std::make_unique<TSPTIdevice>(std::make_unique<TUnplugged>());
    EXPECT_FALSE(Record(Image(kImageBlocks * 2048)));
    EXPECT_EQ(status.Code, burncode::WriteError);
    EXPECT_EQ(status.Reason, "The device is not connected.");
}

}  // namespace
}  // namespace bootdisk
