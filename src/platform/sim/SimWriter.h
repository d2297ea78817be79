// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An emulated MMC CD writer holding a CD-R, so the whole recording runs without hardware. It answers
// the commands the recorder sends, keeps what is written and reads it back, records every command,
// and fails on demand, with sense data as a drive gives it. An answer counts as filling its
// allocation length; only a short read moves fewer bytes than asked.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "optical/ScsiSense.h"
#include "optical/ScsiTransport.h"

namespace bootdisk {

struct TSimWriterConfig {
    std::uint8_t peripheral = 0x05;   // byte 0 of the INQUIRY answer: a CD-ROM-class drive
    std::uint32_t freeBlocks = 359'849;  // an 80-minute CD-R
    std::uint32_t bufferBytes = 2 * 1024 * 1024;
    std::uint8_t discStatus = 0;      // 0 blank, 1 appendable, 2 complete
    std::uint8_t trackState = 0x4F;   // byte 6 of the invisible track's information: blank
    bool ready = true;                // false: no disc, every medium command is refused
    std::optional<std::uint8_t> failingOpcode;  // that command ends in CHECK CONDITION
    TSense failingSense{0x03, 0x0C, 0x00};      // with this sense: medium error, write error
    bool failureCarriesData = false;  // a failing command still fills its answer
    bool blockDescriptor = false;     // MODE SENSE without DBD answers with an 8-byte block descriptor
    std::uint32_t busyPolls = 2;      // READ DISC INFORMATION refusals after an immediate command
    bool neverCompletes = false;      // immediate commands never finish
    std::optional<std::uint32_t> corruptBlock;  // this block of the track is recorded with one byte wrong
    std::optional<std::uint32_t> shortReadFrom;  // READ(10) answers GOOD but moves no block from this one on
    bool refusesFua = false;          // READ(10) with FUA ends in CHECK CONDITION: illegal request
};

struct TSimCommand {
    std::array<std::uint8_t, 16> cdb{};
    std::uint8_t cdbLength = 0;
    TDataDirection direction = TDataDirection::None;
    std::uint32_t length = 0;
};

class TSimWriter : public TStatusTransport {
public:
    explicit TSimWriter(TSimWriterConfig config = {}, std::string name = "sim:")
        : config_(config), name_(std::move(name)) {}

    TScsiReply Deliver(const TScsiRequest& request) override;
    std::string Describe() const override { return name_; }

    // Faults and disc state may be changed between commands.
    TSimWriterConfig& Config() { return config_; }
    const std::vector<TSimCommand>& Commands() const { return commands_; }
    // The blocks written so far, from block 0 of the track.
    const std::vector<std::uint8_t>& Disc() const { return disc_; }
    // The last MODE SELECT parameter list.
    const std::vector<std::uint8_t>& ModeSelectList() const { return modeSelect_; }

private:
    std::uint8_t Answer(const TScsiRequest& request);
    void ModeSense(const TScsiRequest& request, std::vector<std::uint8_t>& out) const;
    void DiscInformation(std::vector<std::uint8_t>& out) const;
    void TrackInformation(std::vector<std::uint8_t>& out) const;
    void BufferCapacity(std::vector<std::uint8_t>& out) const;
    std::uint8_t Write(const TScsiRequest& request);
    std::uint8_t Read(const TScsiRequest& request);
    std::uint8_t StartImmediate();
    // Ends the command in CHECK CONDITION with this sense.
    std::uint8_t Fail(TSense sense);

    TSimWriterConfig config_;
    std::string name_;
    std::vector<TSimCommand> commands_;
    std::vector<std::uint8_t> disc_;
    std::vector<std::uint8_t> modeSelect_;
    std::uint32_t moved_ = 0;    // bytes of data the command in hand moved
    std::uint32_t busy_ = 0;
    std::uint32_t pending_ = 0;  // bytes of the last write still in the drive's buffer
    TSense sense_;               // of the last command that failed
};

// "sim:" (blank CD-R, ample space, 2 MiB buffer), "sim:appendable", "sim:notready", "sim:full" (740
// free blocks), "sim:smallbuffer" (1,024-byte buffer), "sim:buffer16k" (16,384-byte buffer),
// "sim:corrupt" (records one byte wrong in block 100 of the track), "sim:shortread" (reads move no
// data from block 20 of the track on, and say so); nothing for any other name.
std::unique_ptr<TSimWriter> MakeSimWriter(std::string_view name);

}  // namespace bootdisk
