// SPDX-License-Identifier: GPL-3.0-or-later
// SCSI commands to a writer exported over iSCSI, through libiscsi's event interface: every command
// waits at most its time limit for the target's answer.
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
#include "platform/linux/SharedLibrary.h"

namespace bootdisk {
namespace {

constexpr const char* kInitiatorName = "iqn.2005-01.org.bootdisk:initiator";

// The functions of libiscsi this transport calls. The library (and the RDMA stack it brings) is
// loaded with the first iSCSI session, not with the program.
#define BOOTDISK_ISCSI_FUNCTIONS(F)                                                                 \
    F(iscsi_create_context) F(iscsi_destroy_context) F(iscsi_set_targetname) F(iscsi_set_session_type) \
    F(iscsi_set_header_digest) F(iscsi_full_connect_sync) F(iscsi_get_error) F(iscsi_logout_async)      \
    F(iscsi_scsi_command_async) F(iscsi_scsi_cancel_task) F(iscsi_get_fd) F(iscsi_which_events)         \
    F(iscsi_service) F(scsi_free_scsi_task)

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

class TIscsiTransport : public TStatusTransport {
public:
    TIscsiTransport(std::string name, std::unique_ptr<iscsi_context, TContextDeleter> context, int lun,
                    TIscsiClock clock)
        : name_(std::move(name)), context_(std::move(context)), lun_(lun), clock_(std::move(clock)) {}
    ~TIscsiTransport() override {
        // A session out of step would not answer the logout either.
        if (broken_) return;
        TCompletion logout;
        if (Iscsi().iscsi_logout_async(context_.get(), OnCompletion, &logout) == 0) RunUntil(logout, kLogoutLimit);
    }
    TIscsiTransport(const TIscsiTransport&) = delete;
    TIscsiTransport& operator=(const TIscsiTransport&) = delete;

    TScsiReply Deliver(const TScsiRequest& request) override {
        if (broken_ || request.cdbLength == 0 || request.cdbLength > request.cdb.size()) return {};
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
        if (iscsi.iscsi_scsi_command_async(context_.get(), lun_, task.get(), OnCompletion, sends ? &out : nullptr, &done) != 0)
            return {};
        if (!RunUntil(done, std::chrono::seconds(request.timeoutSeconds))) {
            // The target may still answer later: the session cannot be trusted with more commands.
            if (!done.finished) iscsi.iscsi_scsi_cancel_task(context_.get(), task.get());
            broken_ = true;
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

private:
    static constexpr std::chrono::seconds kLogoutLimit{2};
    // libiscsi services the socket when told to; between two services nothing is waited for longer.
    static constexpr std::chrono::milliseconds kSlice{1000};

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

    // Services the session until done finishes; false when limit passes first or the socket fails.
    bool RunUntil(const TCompletion& done, std::chrono::milliseconds limit) {
        const auto& iscsi = Iscsi();
        const auto deadline = clock_.now() + limit;
        while (!done.finished) {
            const auto now = clock_.now();
            if (now >= deadline) return false;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
            const int events = clock_.wait(iscsi.iscsi_get_fd(context_.get()), iscsi.iscsi_which_events(context_.get()),
                                           std::min(left, kSlice));
            if (events < 0 || iscsi.iscsi_service(context_.get(), events) < 0) return done.finished;
        }
        return true;
    }

    std::string name_;
    std::unique_ptr<iscsi_context, TContextDeleter> context_;
    int lun_;
    TIscsiClock clock_;
    bool broken_ = false;
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
    std::unique_ptr<iscsi_context, TContextDeleter> context(iscsi.iscsi_create_context(kInitiatorName));
    if (!context) throw std::runtime_error("cannot create an iSCSI initiator");
    iscsi.iscsi_set_targetname(context.get(), url.target.c_str());
    iscsi.iscsi_set_session_type(context.get(), ISCSI_SESSION_NORMAL);
    iscsi.iscsi_set_header_digest(context.get(), ISCSI_HEADER_DIGEST_NONE_CRC32C);
    if (iscsi.iscsi_full_connect_sync(context.get(), url.Portal().c_str(), url.lun) != 0)
        throw std::runtime_error("cannot log in to " + name + ": " + iscsi.iscsi_get_error(context.get()));
    return std::make_unique<TIscsiTransport>(name, std::move(context), url.lun, std::move(clock));
}

}  // namespace bootdisk
