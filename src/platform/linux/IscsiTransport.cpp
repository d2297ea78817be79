// SCSI commands to a writer exported over iSCSI, through libiscsi's synchronous calls.
extern "C" {
#include <iscsi/iscsi.h>
#include <iscsi/scsi-lowlevel.h>
}

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "optical/Optical_devices.h"

namespace bootdisk {
namespace {

constexpr const char* kInitiatorName = "iqn.2005-01.org.bootdisk:initiator";

struct TContextDeleter {
    void operator()(iscsi_context* context) const { iscsi_destroy_context(context); }
};
struct TTaskDeleter {
    void operator()(scsi_task* task) const { scsi_free_scsi_task(task); }
};

class TIscsiTransport : public TStatusTransport {
public:
    TIscsiTransport(std::string name, std::unique_ptr<iscsi_context, TContextDeleter> context, int lun)
        : name_(std::move(name)), context_(std::move(context)), lun_(lun) {}
    ~TIscsiTransport() override { iscsi_logout_sync(context_.get()); }
    TIscsiTransport(const TIscsiTransport&) = delete;
    TIscsiTransport& operator=(const TIscsiTransport&) = delete;

    TScsiReply Deliver(const TScsiRequest& request) override {
        if (request.cdbLength == 0 || request.cdbLength > request.cdb.size()) return {};
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
        if (iscsi_scsi_command_sync(context_.get(), lun_, task.get(), sends ? &out : nullptr) == nullptr) return {};
        if (task->status < 0 || task->status > 0xFF) return {};  // the transport's own failures
        if (request.direction == TDataDirection::In && request.data != nullptr && task->datain.data != nullptr)
            std::copy_n(task->datain.data, std::min<std::size_t>(request.length, std::size_t(task->datain.size)),
                        request.data);
        return {true, std::uint8_t(task->status)};
    }

    std::string Describe() const override { return name_; }

private:
    std::string name_;
    std::unique_ptr<iscsi_context, TContextDeleter> context_;
    int lun_;
};

}  // namespace

std::unique_ptr<IScsiTransport> OpenIscsi(const TIscsiUrl& url, const std::string& name) {
    std::unique_ptr<iscsi_context, TContextDeleter> context(iscsi_create_context(kInitiatorName));
    if (!context) throw std::runtime_error("cannot create an iSCSI initiator");
    iscsi_set_targetname(context.get(), url.target.c_str());
    iscsi_set_session_type(context.get(), ISCSI_SESSION_NORMAL);
    iscsi_set_header_digest(context.get(), ISCSI_HEADER_DIGEST_NONE_CRC32C);
    if (iscsi_full_connect_sync(context.get(), url.Portal().c_str(), url.lun) != 0)
        throw std::runtime_error("cannot log in to " + name + ": " + iscsi_get_error(context.get()));
    return std::make_unique<TIscsiTransport>(name, std::move(context), url.lun);
}

}  // namespace bootdisk
