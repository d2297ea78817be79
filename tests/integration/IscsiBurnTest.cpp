// SPDX-License-Identifier: GPL-3.0-or-later
// `bootdisk burn iscsi://...` against a tgtd target that exports an MMC LUN on loopback.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <thread>

#include "base/Streams.h"
#include "optical/IscsiUrl.h"
#include "optical/Optical_devices.h"
#include "optical/SPTI.h"
#include "optical/ScsiCommands.h"
#include "platform/linux/IscsiTransport.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

using test::Quoted;
using test::RunCommand;
const std::string& kTools = test::kToolPath;
const std::string kTarget = "iqn.2026-01.org.bootdisk.test:cd";

// A loopback TCP port nobody listens on right now.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

class IscsiBurn : public ::testing::Test {
protected:
    void SetUp() override {
        if (RunCommand(kTools + "command -v tgtd && command -v tgtadm") != 0)
            GTEST_SKIP() << "tgtd is not installed; scripts/setup installs tgt";
        port = FreePort();
        static int instance = 0;
        control = 1000 + int(::getpid() % 5000) * 4 + instance++ % 4;  // tgtd takes small numbers only
        ASSERT_NE(port, 0);
        pid = StartTgtd();
        ASSERT_GT(pid, 0) << "cannot start tgtd";
        bool ready = false;
        for (int i = 0; i < 50 && !ready; ++i) {
            ready = Admin("--lld iscsi --mode target --op show") == 0;
            if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (!ready) GTEST_SKIP() << "tgtd did not start: " << Text(temp / "tgtd.log");
        test::WriteFile(temp / "cd.img", {});
        ASSERT_EQ(Admin("--lld iscsi --mode target --op new --tid 1 --targetname " + kTarget), 0) << last;
        ASSERT_EQ(Admin("--lld iscsi --mode logicalunit --op new --tid 1 --lun 1 --bstype rdwr --device-type cd "
                        "--backing-store " + Quoted(temp / "cd.img")),
                  0)
            << last;
        ASSERT_EQ(Admin("--lld iscsi --mode target --op bind --tid 1 --initiator-address 127.0.0.1"), 0) << last;
    }

    // The daemon runs as our child so that it is reaped here, whichever way it ends.
    pid_t StartTgtd() {
        const auto log = temp / "tgtd.log";
        const auto controlText = std::to_string(control);
        const auto portal = "portal=127.0.0.1:" + std::to_string(port);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::string program = "/usr/sbin/tgtd";
        if (::access(program.c_str(), X_OK) != 0) program = "tgtd";
        const char* argv[] = {program.c_str(), "-f", "-C", controlText.c_str(), "--iscsi", portal.c_str(), nullptr};
        pid_t child = 0;
        const int error = posix_spawnp(&child, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        return error == 0 ? child : 0;
    }

    // tgtd ignores SIGTERM and stops only once its targets are gone.
    void TearDown() override {
        if (pid <= 0) return;
        Admin("--lld iscsi --mode target --op delete --force --tid 1");
        Admin("--mode system --op delete");
        for (int i = 0; i < 50; ++i) {
            if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }

    int Admin(const std::string& arguments) {
        std::string output;
        const int status = RunCommand(kTools + "tgtadm -C " + std::to_string(control) + " " + arguments, &output);
        if (status != 0) last = output;
        return status;
    }
    static std::string Text(const std::string& path) {
        try {
            const auto bytes = ReadWholeFile(path);
            return {bytes.begin(), bytes.end()};
        } catch (const std::exception&) {
            return {};
        }
    }
    int Bootdisk(const std::string& arguments, std::string* output) {
        return RunCommand("cd " + Quoted(temp.Path()) + " && SOURCE_DATE_EPOCH=1136073600 " +
                              Quoted(test::BinPath("bootdisk")) + " " + arguments + " --os msdos --msdos-folder dos < /dev/null",
                          output);
    }

    test::TTempDir temp;
    int port = 0, control = 0;
    pid_t pid = 0;
    std::string last;
};

TEST_F(IscsiBurn, TheBackingFileHoldsTheCdImage) {
    std::filesystem::create_directory(temp / "dos");
    test::WriteFile(temp / "dos/IO.SYS", std::vector<std::uint8_t>(40'000, 0x11));
    test::WriteFile(temp / "dos/COMMAND.COM", std::vector<std::uint8_t>(93'000, 0x22));
    const auto url = "iscsi://127.0.0.1:" + std::to_string(port) + "/" + kTarget + "/1";
    std::string output;
    ASSERT_EQ(Bootdisk("burn " + url + " --trace", &output), 0) << output;
    EXPECT_THAT(output, testing::HasSubstr("5b 01 02 00 00 00 00 00 00 00 none 0 -> 0"));
    // Read back from the target, up to the image's last ten blocks.
    EXPECT_THAT(output, testing::HasSubstr("28 08 00 00 02 da 00 00 0a 00 in 20480 -> 0\n"));
    EXPECT_THAT(output, testing::HasSubstr(url + " holds the boot CD; the read-back matches what was written.\n"));
    ASSERT_EQ(Bootdisk("iso boot.iso", &output), 0) << output;
    EXPECT_TRUE(ReadWholeFile(temp / "cd.img") == ReadWholeFile(temp / "boot.iso"));
}

// A command the target refuses comes back with the sense data libiscsi keeps apart from the answer.
TEST_F(IscsiBurn, ARefusedCommandCarriesTheTargetsSenseData) {
    const auto url = ParseIscsiUrl("iscsi://127.0.0.1:" + std::to_string(port) + "/" + kTarget + "/1");
    const auto transport = OpenIscsi(url, "target");
    std::vector<std::uint8_t> block(2048, 0xA5);
    EXPECT_EQ(transport->Execute(Read10(100'000, 1, block.data())), kScsiCheckCondition);
    EXPECT_EQ(DescribeSense(transport->LastSense()), "illegal request: logical block address out of range (05/21/00)");
    EXPECT_EQ(block, std::vector<std::uint8_t>(2048, 0xA5));  // the sense is not taken for data
}

// The target tells how much of a transfer moved (its residual count, the data that came): an
// answer shorter than its allocation length is whole, a transfer that must be whole is not.
TEST_F(IscsiBurn, TheTargetsCountOfWhatMovedIsHeard) {
    const auto url = ParseIscsiUrl("iscsi://127.0.0.1:" + std::to_string(port) + "/" + kTarget + "/1");
    const auto transport = OpenIscsi(url, "target");
    std::array<std::uint8_t, 165> answer{};
    auto inquiry = Inquiry(answer.data());
    ASSERT_EQ(transport->Execute(inquiry), kScsiOk);
    inquiry.wholeTransfer = true;
    EXPECT_EQ(transport->Execute(inquiry), kScsiDataUnderrun);
    EXPECT_THAT(transport->FailureReason(), testing::MatchesRegex("INQUIRY moved [0-9]+ of 165 bytes"));
    EXPECT_NE(transport->FailureReason(), "INQUIRY moved 0 of 165 bytes");
}

// A progress sink that stops the target (SIGSTOP) once the data starts to flow.
class TStallingIO : public TBurningIO {
public:
    explicit TStallingIO(pid_t target) : target_(target) {}
    void Progress(TBurnStage, double, double) override {
        if (!stopped) stopped = ::kill(target_, SIGSTOP) == 0;
    }
    bool stopped = false;

private:
    pid_t target_;
};

// A target that stops answering in the middle of a recording: each command gives up at its time
// limit and the recording fails at the step it was in. Once the target is stopped the clock is
// ours: every wait the socket stays silent lets its whole span pass, so two minutes go by at once.
TEST_F(IscsiBurn, AStalledTargetFailsTheRecordingAtItsTimeLimit) {
    TStallingIO io(pid);
    std::chrono::milliseconds skipped{0};
    TIscsiClock clock;
    clock.now = [&] { return std::chrono::steady_clock::now() + skipped; };
    clock.wait = [&](int fd, int events, std::chrono::milliseconds limit) {
        if (!io.stopped) return PollSocket(fd, events, limit);
        const int ready = PollSocket(fd, events, std::min(limit, std::chrono::milliseconds(10)));
        if (ready == 0) skipped += limit;
        return ready;
    };
    const auto url = ParseIscsiUrl("iscsi://127.0.0.1:" + std::to_string(port) + "/" + kTarget + "/1");
    TSPTIdevice device(OpenIscsi(url, "stalling", clock));
    ASSERT_TRUE(device.IsWriter());
    TDiscState state;
    ASSERT_TRUE(device.CheckReady(state));

    TMemoryStream image(std::vector<std::uint8_t>(200 * 2048, 0x5A));
    TBurnStatus status;
    const auto start = std::chrono::steady_clock::now();
    const auto startOnClock = clock.now();
    EXPECT_FALSE(device.WriteImage(status, image, &io));
    const auto took = std::chrono::steady_clock::now() - start;
    const auto tookOnClock = clock.now() - startOnClock;
    ::kill(pid, SIGCONT);
    ASSERT_TRUE(io.stopped);
    // The write loop reads the drive's buffer before each WRITE(10): that is the step that stalls.
    EXPECT_EQ(status.Code, burncode::BufferCapacity);
    EXPECT_EQ(status.Reason, "the target did not answer READ BUFFER CAPACITY within 120 s");
    EXPECT_GE(tookOnClock, std::chrono::seconds(120));
    EXPECT_LT(tookOnClock, std::chrono::seconds(125));
    EXPECT_LT(took, std::chrono::seconds(30));
    // The session is out of step: nothing more is sent into it.
    std::array<std::uint8_t, 34> answer{};
    EXPECT_EQ(device.Transport().Execute(ReadDiscInformation(answer.data())), kScsiNoDevice);
}

// A target that takes the connection and then says nothing: the login gives up at its time limit
// and says so, rather than leave the command waiting for ever.
TEST(IscsiLogin, ASilentTargetIsGivenUpAtTheLoginsTimeLimit) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const auto url = "iscsi://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/" + kTarget + "/1";
    std::string output;
    const auto start = std::chrono::steady_clock::now();
    const int status = RunCommand("timeout 60 " + Quoted(test::BinPath("bootdisk")) + " devices " + url, &output);
    const auto took = std::chrono::steady_clock::now() - start;
    ::close(listener);
    EXPECT_EQ(status, 1) << output;
    EXPECT_THAT(output, testing::HasSubstr("cannot log in to " + url + ": the target did not answer the login within 10 s"));
    EXPECT_GE(took, std::chrono::seconds(10));
    EXPECT_LT(took, std::chrono::seconds(30));
}

// A target that stops answering before the session ends: the logout gives up at its limit, and the
// session ends while what the library reports into still lives (the sanitizer build checks).
TEST_F(IscsiBurn, ALogoutThatRunsOutOfTimeLeavesNothingBehind) {
    const auto url = ParseIscsiUrl("iscsi://127.0.0.1:" + std::to_string(port) + "/" + kTarget + "/1");
    auto transport = OpenIscsi(url, "target");
    ASSERT_EQ(::kill(pid, SIGSTOP), 0);
    const auto start = std::chrono::steady_clock::now();
    transport.reset();
    const auto took = std::chrono::steady_clock::now() - start;
    ::kill(pid, SIGCONT);
    EXPECT_GE(took, std::chrono::seconds(2));
    EXPECT_LT(took, std::chrono::seconds(10));
}

TEST_F(IscsiBurn, AMissingTargetIsRefusedWithTheInitiatorsReason) {
    std::string output;
    EXPECT_EQ(Bootdisk("burn iscsi://127.0.0.1:" + std::to_string(port) + "/iqn.2026-01.org.bootdisk.test:none/1",
                       &output),
              4);  // refused
    EXPECT_THAT(output, testing::HasSubstr("cannot log in to iscsi://"));
}

}  // namespace
}  // namespace bootdisk
