// SPDX-License-Identifier: GPL-3.0-or-later
// SCSI commands to a writer exported over iSCSI, through libiscsi's event interface: connecting,
// logging in and every command wait at most their time limit for the target's answer.
#include "platform/linux/IscsiTransport.h"

#include <poll.h>

extern "C" {
#include <iscsi/iscsi.h>
#include <iscsi/scsi-lowlevel.h>
}

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "base/Bytes.h"
#include "optical/Optical_devices.h"
#include "optical/ScsiCommands.h"
#include "platform/linux/SharedLibrary.h"

namespace bootdisk {
namespace {

constexpr const char* kInitiatorName = "iqn.2005-01.org.bootdisk:initiator";
// Connecting and logging in together; a target that takes longer is not going to answer.
constexpr std::chrono::seconds kLoginLimit{10};
constexpr std::chrono::seconds kLogoutLimit{2};
// libiscsi services the socket when told to; between two services nothing is waited for longer.
constexpr std::chrono::milliseconds kSlice{1000};
// TEST UNIT READY after the login, to take the unit attention a fresh session starts with.
constexpr int kUnitAttentionTries = 3;

// The functions of libiscsi this transport calls. The library (and the RDMA stack it brings) is
// loaded with the first iSCSI session, not with the program.
#define BOOTDISK_ISCSI_FUNCTIONS(F)                                                                 \
    F(iscsi_create_context) F(iscsi_destroy_context) F(iscsi_set_targetname) F(iscsi_set_session_type) \
    F(iscsi_set_header_digest) F(iscsi_set_noautoreconnect) F(iscsi_connect_async) F(iscsi_login_async) \
    F(iscsi_get_error) F(iscsi_logout_async) F(iscsi_scsi_command_async) F(iscsi_get_fd)               \
    F(iscsi_which_events) F(iscsi_service) F(scsi_free_scsi_task)

struct TIscsiLibrary {
#define BOOTDISK_ISCSI_POINTER(name) decltype(&::name) name;
    BOOTDISK_ISCSI_FUNCTIONS(BOOTDISK_ISCSI_POINTER)
#undef BOOTDISK_ISCSI_POINTER
};

// Throws linuxhost::ELibraryMissing when libiscsi cannot be loaded; a later call tries again.
const TIscsiLibrary& Iscsi() {
    static const TIscsiLibrary library = [] {
        const linuxhost::TSharedLibrary shared(BOOTDISK_LIBISCSI_SONAME, "the iSCSI library");
        TIscsiLibrary functions;
#define BOOTDISK_ISCSI_LOOKUP(name) functions.name = shared.Function<decltype(&::name)>(#name);
        BOOTDISK_ISCSI_FUNCTIONS(BOOTDISK_ISCSI_LOOKUP)
#undef BOOTDISK_ISCSI_LOOKUP
        return functions;
    }();
    return library;
}

#undef BOOTDISK_ISCSI_FUNCTIONS

struct TContextDeleter {
    void operator()(iscsi_context* context) const { Iscsi().iscsi_destroy_context(context); }
};
struct TTaskDeleter {
    void operator()(scsi_task* task) const { Iscsi().scsi_free_scsi_task(task); }
};
using TContext = std::unique_ptr<iscsi_context, TContextDeleter>;

std::string Seconds(std::chrono::seconds limit) { return std::to_string(limit.count()) + " s"; }

// One session. Each wait names the object the library reports to when the wait is over; a wait
// that ends without that report ends the session at once, while the object still lives, so the
// library never reports into one that is gone: destroying the session cancels every request in
// it, and cancelling calls back.
class TIscsiTransport : public TStatusTransport {
public:
    TIscsiTransport(std::string name, TContext context, int lun, TIscsiClock clock)
        : name_(std::move(name)), context_(std::move(context)), lun_(lun), clock_(std::move(clock)) {}
    ~TIscsiTransport() override {
        if (!context_) return;
        TCompletion logout;
        if (Iscsi().iscsi_logout_async(context_.get(), OnCompletion, &logout) == 0)
            RunUntil(logout, clock_.now() + kLogoutLimit);
        context_.reset();
    }
    TIscsiTransport(const TIscsiTransport&) = delete;
    TIscsiTransport& operator=(const TIscsiTransport&) = delete;

    // Connects, logs in and takes the LUN's unit attention; throws std::runtime_error naming the
    // stage that failed or ran out of time.
    void LogIn(const std::string& portal) {
        const auto& iscsi = Iscsi();
        const auto deadline = clock_.now() + kLoginLimit;
        // A stage that could not start or that the target refused has the library's words; one
        // that ran out of time or lost the connection, the wait's own.
        const auto run = [&](const std::string& stage, const std::string& silence, auto start) {
            TCompletion completion;
            if (start(&completion) != 0) Fail(stage + ": " + iscsi.iscsi_get_error(context_.get()));
            if (!RunUntil(completion, deadline))
                Fail(stage + ": " + (reason_.empty() ? silence + " within " + Seconds(kLoginLimit) : reason_));
            if (completion.status != 0) Fail(stage + ": " + iscsi.iscsi_get_error(context_.get()));
        };
        run("cannot connect to " + portal, "no connection", [&](TCompletion* completion) {
            return iscsi.iscsi_connect_async(context_.get(), portal.c_str(), OnCompletion, completion);
        });
        run("cannot log in to " + name_, "the target did not answer the login", [&](TCompletion* completion) {
            return iscsi.iscsi_login_async(context_.get(), OnCompletion, completion);
        });
        for (int i = 0; i < kUnitAttentionTries && Execute(TestUnitReady()) == kScsiCheckCondition; ++i) {
            const auto sense = DecodeSense(LastSense());
            if (!sense || sense->key != kSenseUnitAttention) break;
        }
        if (!context_) throw std::runtime_error("cannot open " + name_ + ": " + FailureReason());
    }

    TScsiReply Deliver(const TScsiRequest& request) override {
        if (!context_ || request.cdbLength == 0 || request.cdbLength > request.cdb.size()) return {};
        reason_.clear();
        // scsi_free_scsi_task releases the task with free(), so it is allocated the same way.
        std::unique_ptr<scsi_task, TTaskDeleter> task(static_cast<scsi_task*>(std::calloc(1, sizeof(scsi_task))));
        if (!task) return {};
        task->cdb_size = request.cdbLength;
        std::copy_n(request.cdb.begin(), request.cdbLength, task->cdb);
        task->expxferlen = int(request.length);
        task->xfer_dir = request.direction == TDataDirection::In    ? SCSI_XFER_READ
                         : request.direction == TDataDirection::Out ? SCSI_XFER_WRITE
                                                                    : SCSI_XFER_NONE;
        iscsi_data out{request.length, request.data};
        const bool sends = request.direction == TDataDirection::Out && request.length != 0;
        TCompletion done;
        const auto& iscsi = Iscsi();
        if (iscsi.iscsi_scsi_command_async(context_.get(), lun_, task.get(), OnCompletion, sends ? &out : nullptr, &done) != 0) {
            reason_ = iscsi.iscsi_get_error(context_.get());
            return {};
        }
        // A command the target does not answer in time ends the session: it may still answer later,
        // out of step with the next command.
        const std::chrono::seconds limit(request.timeoutSeconds);
        if (!RunUntil(done, clock_.now() + limit)) {
            if (reason_.empty())
                reason_ = "the target did not answer " + ScsiCommandName(request) + " within " + Seconds(limit);
            return {};
        }
        if (done.status < 0 || done.status > 0xFF) return {};  // the transport's own failures
        if (done.status == kStatusCheckCondition) return {true, kStatusCheckCondition, Sense(*task)};
        TScsiReply reply{true, std::uint8_t(done.status)};
        reply.transferred = Transferred(request, *task);
        if (request.direction == TDataDirection::In && request.data != nullptr && task->datain.data != nullptr)
            std::copy_n(task->datain.data, std::min<std::size_t>(request.length, std::size_t(task->datain.size)),
                        request.data);
        return reply;
    }

    std::string Describe() const override { return name_; }

protected:
    std::string DeliveryFailure() const override { return reason_; }

private:
    struct TCompletion {
        bool finished = false;
        int status = 0;
    };
    // With CHECK CONDITION the task's data in is the sense segment: a 16-bit length, then the sense.
    static TSenseBytes Sense(const scsi_task& task) {
        if (task.datain.data == nullptr || task.datain.size < 2) return {};
        const auto* segment = task.datain.data;
        const auto length = std::min<std::size_t>(GetBE16(segment), std::size_t(task.datain.size) - 2);
        return TSenseBytes(segment + 2, segment + 2 + length);
    }
    // The residual count the target reported, and for data in no more than arrived.
    static std::uint32_t Transferred(const TScsiRequest& request, const scsi_task& task) {
        std::uint32_t moved = request.length;
        if (task.residual_status == SCSI_RESIDUAL_UNDERFLOW)
            moved = task.residual >= moved ? 0 : moved - std::uint32_t(task.residual);
        if (request.direction != TDataDirection::In) return moved;
        const auto arrived = task.datain.data == nullptr ? 0 : std::uint32_t(std::max(task.datain.size, 0));
        return std::min(moved, arrived);
    }

    static void OnCompletion(iscsi_context*, int status, void*, void* completion) {
        auto& done = *static_cast<TCompletion*>(completion);
        done.finished = true;
        done.status = status;
    }

    // Services the session until done finishes. False when the deadline passes first (reason_
    // empty) or the connection fails (reason_ says how); the session is then over.
    bool RunUntil(const TCompletion& done, std::chrono::steady_clock::time_point deadline) {
        const auto& iscsi = Iscsi();
        reason_.clear();
        while (!done.finished) {
            const auto now = clock_.now();
            if (now >= deadline) break;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
            const int events = clock_.wait(iscsi.iscsi_get_fd(context_.get()), iscsi.iscsi_which_events(context_.get()),
                                           std::min(left, kSlice));
            if (events < 0 || iscsi.iscsi_service(context_.get(), events) < 0) {
                if (done.finished) return true;
                reason_ = std::string("the connection to the target failed: ") + iscsi.iscsi_get_error(context_.get());
                break;
            }
        }
        if (done.finished) return true;
        End();
        return false;
    }

    // Ends the session; what is still waiting in it is cancelled.
    void End() { context_.reset(); }

    // The words are taken before the session ends: they may come from it.
    [[noreturn]] void Fail(std::string why) {
        End();
        throw std::runtime_error(std::move(why));
    }

    std::string name_;
    TContext context_;  // empty once the session is over
    int lun_;
    TIscsiClock clock_;
    std::string reason_;
};

}  // namespace

int PollSocket(int fd, int events, std::chrono::milliseconds limit) {
    pollfd socket{fd, short(events), 0};
    int ready;
    do ready = ::poll(&socket, 1, int(limit.count()));
    while (ready < 0 && errno == EINTR);
    return ready < 0 ? -1 : ready == 0 ? 0 : socket.revents;
}

std::unique_ptr<IScsiTransport> OpenIscsi(const TIscsiUrl& url, const std::string& name) {
    return OpenIscsi(url, name, TIscsiClock{});
}

std::unique_ptr<IScsiTransport> OpenIscsi(const TIscsiUrl& url, const std::string& name, TIscsiClock clock) {
    const auto& iscsi = Iscsi();
    TContext context(iscsi.iscsi_create_context(kInitiatorName));
    if (!context) throw std::runtime_error("cannot create an iSCSI initiator");
    iscsi.iscsi_set_targetname(context.get(), url.target.c_str());
    iscsi.iscsi_set_session_type(context.get(), ISCSI_SESSION_NORMAL);
    iscsi.iscsi_set_header_digest(context.get(), ISCSI_HEADER_DIGEST_NONE_CRC32C);
    // A lost connection ends the session: reconnecting would wait without limit.
    iscsi.iscsi_set_noautoreconnect(context.get(), 1);
    auto transport = std::make_unique<TIscsiTransport>(name, std::move(context), url.lun, std::move(clock));
    transport->LogIn(url.Portal());
    return transport;
}

}  // namespace bootdisk
