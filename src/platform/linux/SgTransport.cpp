// SPDX-License-Identifier: GPL-3.0-or-later
// SCSI commands to a Linux optical drive through the sg driver's SG_IO on /dev/srN.
#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "optical/Optical_devices.h"
#include "optical/SgRequest.h"

namespace bootdisk {
namespace {

static_assert(kSgDxferNone == SG_DXFER_NONE && kSgDxferToDev == SG_DXFER_TO_DEV &&
              kSgDxferFromDev == SG_DXFER_FROM_DEV);
// SG_IO as the sr driver takes it arrived with the version 3 interface.
constexpr int kMinSgVersion = 30000;

class TSgTransport : public TStatusTransport {
public:
    TSgTransport(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    ~TSgTransport() override { ::close(fd_); }
    TSgTransport(const TSgTransport&) = delete;
    TSgTransport& operator=(const TSgTransport&) = delete;

    TScsiReply Deliver(const TScsiRequest& request) override {
        const auto sg = MakeSgRequest(request);
        std::array<std::uint8_t, 16> cdb = request.cdb;
        std::array<std::uint8_t, kSgSenseLength> sense{};
        sg_io_hdr_t header{};
        header.interface_id = kSgInterfaceId;
        header.dxfer_direction = sg.direction;
        header.cmd_len = sg.cdbLength;
        header.mx_sb_len = sg.senseLength;
        header.dxfer_len = sg.dataLength;
        header.dxferp = sg.dataLength != 0 ? request.data : nullptr;
        header.cmdp = cdb.data();
        header.sbp = sense.data();
        header.timeout = sg.timeoutMs;
        int result;
        do result = ::ioctl(fd_, SG_IO, &header);
        while (result < 0 && errno == EINTR);
        reason_ = result == 0 ? std::string() : std::strerror(errno);
        const auto senseLength = std::min<std::size_t>(header.sb_len_wr, sense.size());
        auto reply = SgReply(result == 0, header.status, header.host_status, header.driver_status,
                             std::span(sense).first(senseLength));
        reply.transferred = SgTransferred(sg.dataLength, header.resid);
        return reply;
    }

    std::string Describe() const override { return path_; }

protected:
    std::string DeliveryFailure() const override { return reason_; }

private:
    std::string path_;
    int fd_;
    std::string reason_;
};

}  // namespace

std::unique_ptr<IScsiTransport> OpenPassThrough(const std::string& name) {
    const int fd = ::open(name.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw EDeviceOpenError("cannot open " + name + ": " + std::strerror(errno));
    int version = 0;
    if (::ioctl(fd, SG_GET_VERSION_NUM, &version) != 0 || version < kMinSgVersion) {
        ::close(fd);
        throw std::runtime_error(name + " does not take SCSI commands (no SG_IO)");
    }
    return std::make_unique<TSgTransport>(name, fd);
}

std::vector<std::string> PassThroughDeviceNames() {
    std::vector<unsigned> numbers;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
        const auto name = entry.path().filename().string();
        // "sr" and up to four digits; anything else in /dev is not an optical drive node.
        if (name.size() < 3 || name.size() > 6 || name.compare(0, 2, "sr") != 0) continue;
        if (!std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
        numbers.push_back(unsigned(std::stoul(name.substr(2))));
    }
    std::sort(numbers.begin(), numbers.end());
    std::vector<std::string> names;
    for (const auto number : numbers) names.push_back("/dev/sr" + std::to_string(number));
    return names;
}

}  // namespace bootdisk
