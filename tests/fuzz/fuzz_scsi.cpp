// SPDX-License-Identifier: GPL-3.0-or-later
// The SCSI answer decoders inside a whole conversation with a drive whose every answer (delivered or
// not, its status, its data, its sense data) comes from the input: identification, capabilities, the
// ready check, a recording with its completion polling, its read-back, and blanking.
#include "FuzzInput.h"
#include "optical/SPTI.h"

using namespace bootdisk;

namespace {

class TFuzzedDrive : public TStatusTransport {
public:
    explicit TFuzzedDrive(fuzz::TFuzzInput& input) : input_(input) {}

    TScsiReply Deliver(const TScsiRequest& request) override {
        // Mostly a good answer, so that conversations get far; sometimes a refusal or nothing.
        const std::uint8_t kind = input_.Byte();
        if (kind >= 0xF8) return {};
        const std::uint8_t status = kind >= 0xE0 ? input_.Byte() : 0;
        if (request.direction == TDataDirection::In && request.data != nullptr) {
            const auto answer = input_.Take(request.length);
            std::copy(answer.begin(), answer.end(), request.data);
        }
        if (status != kStatusCheckCondition) return {true, status, {}, request.length};
        const auto sense = input_.Take(input_.Byte());
        return {true, status, TSenseBytes(sense.begin(), sense.end())};
    }
    std::string Describe() const override { return "fuzz:"; }

private:
    fuzz::TFuzzInput& input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::TFuzzInput input(data, size);
    TPollOptions polling;
    polling.maxPolls = 50;
    polling.sleep = [](std::chrono::milliseconds) {};
    TSPTIdevice device(std::make_unique<TFuzzedDrive>(input), polling);
    device.IsWriter();
    TDiscState state;
    device.CheckReady(state);
    TMemoryStream image(std::vector<std::uint8_t>(5 * 2048 + 100, 0xA5));
    TBurnStatus status;
    TBurningIO io;
    device.WriteImage(status, image, &io);
    image.Rewind();
    TReadBackStatus readBack;
    device.ReadBack(readBack, image, &io);
    device.Blank(input.Byte() & 1, [] {});
    device.Eject();
    return 0;
}
