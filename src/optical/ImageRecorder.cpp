// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/ImageRecorder.h"

#include <vector>

#include "base/Errors.h"
#include "base/StrConst.h"

namespace bootdisk {
namespace {

constexpr std::size_t kChunk = 10'000;

}  // namespace

TSaveFileRequest ImageFileRequest() { return {"ISO", "Quellmark.iso", "*.ISO"}; }

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
    if (extension.empty()) return path;
#ifdef _WIN32
    const auto slash = path.find_last_of("/\\:");
#else
    const auto slash = path.find_last_of('/');
#endif
    const auto name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const bool plain = !name.empty() && name != "-" && name.find('.') == std::string::npos;
    if (!plain || InspectPath(path).kind != TPathKind::Missing || InspectPath(folder).kind != TPathKind::Directory)
        return path;
    return path + "." + extension;
}

TimageRecorder::TimageRecorder(IDialogs& dialogs, const TStringTable& texts)
    : dialogs_(dialogs), texts_(texts) {
    DisplayName = texts[StrId::GUI_TEXTIMAGEBURNER];
}

TimageRecorder::~TimageRecorder() { Discard(); }

std::string CannotCreateFileText(const TStringTable& texts, const std::string& path, const EStreamError& error) {
    return texts[StrId::GUI_TEXTCANNOTCREATEFILE] + path + ": " + (error.Reason().empty() ? error.what() : error.Reason());
}

bool TimageRecorder::CheckReady(TDiscState& state) {
    Discard();
    state.DiscStatus = 0;
    const auto chosen = dialogs_.AskSaveFile(ImageFileRequest());
    if (!chosen) return false;
    destination_ = *chosen;
    try {
        pending_ = std::make_unique<TPendingFile>(destination_);
    } catch (const EStreamError& error) {
        pending_.reset();
        dialogs_.ShowCoolMessage(CannotCreateFileText(texts_, destination_, error));
        return false;
    }
    return true;
}

bool TimageRecorder::WriteImage(TBurnStatus& status, TStream& source, TBurningIO*) {
    // The recorder has no steps of its own: any failure is reported as a write error.
    status.Code = burncode::WriteError;
    if (!pending_) return false;
    try {
        source.Rewind();
        if (const auto held = source.HeldBytes(); !held.empty()) {
            // An image in memory goes out in one write, straight from where it was built.
            pending_->Write(held.data(), held.size());
        } else {
            std::vector<std::uint8_t> buffer(kChunk);
            for (std::size_t n; (n = std::size_t(std::min<std::uint64_t>(kChunk, source.Remaining()))) > 0;) {
                source.ReadBuffer(buffer.data(), n);
                pending_->Write(buffer.data(), n);
            }
        }
        pending_->Commit();
        pending_.reset();
        return true;
    } catch (const EStreamError& error) {
        // Named by the destination: the scratch file beside it is only a means.
        status.Reason = "cannot write " + destination_ + ": " + (error.Reason().empty() ? error.what() : error.Reason());
    } catch (const std::exception& error) {
        status.Reason = error.what();
    }
    Discard();
    return false;
}

void TimageRecorder::Discard() {
    pending_.reset();
}

}  // namespace bootdisk
