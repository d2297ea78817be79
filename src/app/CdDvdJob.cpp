// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CdDvdJob.h"

#include <optional>
#include <vector>

#include "app/Options.h"
#include "base/DosTime.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "image/DosBoot.h"
#include "image/ISO9660.h"
#include "image/PrimaryVolume.h"
#include "optical/ImageRecorder.h"

namespace bootdisk {

bool BuildBootFloppy(TVirtualFloppy& floppy, TExeDataBase& payload, bool useMsDos, TJobEnv& env,
                     const TCreationSettings& settings) {
    const auto& texts = env.app.texts;
    TBootEnv bootEnv{env.host, env.dialogs};
    try {
        if (!PrepareBootImage(floppy, payload, useMsDos, bootEnv)) {
            env.dialogs.ShowCoolMessage(texts[StrId::GUI_MSDOSNOSYS]);
            return false;
        }
    } catch (const EBootImageError& error) {
        env.dialogs.ShowCoolMessage(texts[StrId::GUI_TEXTBADBOOTIMAGE] + error.what());
        return false;
    }
    env.dialogs.ProcessMessages();
    const TSanitizerFiles files{env.app.autoexec, LoadMouse(settings.options), settings.parameters,
                                OptionsString(settings.options)};
    if (const auto failure = WriteSanitizerFiles(floppy, payload, files)) {
        env.dialogs.ShowCoolMessage(texts[StrId::GUI_INSTALLERROR] + " " + DescribeWriteFailure(texts, *failure));
        return false;
    }
    return true;
}

namespace {

std::string WithReason(const std::string& text, const std::string& reason) {
    return reason.empty() ? text : text + " (" + reason + ")";
}

// Reads the recorded disc back; false after naming the first sector that is not as recorded.
bool ReadBackImage(TOpticalDevice& device, TJobEnv& env, TStream& cdImage, TBurningIO* io) {
    const auto& texts = env.app.texts;
    cdImage.Rewind();
    TReadBackStatus status;
    if (device.ReadBack(status, cdImage, io)) return true;
    const auto sector = std::to_string(status.Sector);
    env.dialogs.ShowCoolMessage(status.Unreadable
                                    ? WithReason(texts[StrId::GUI_TEXTREADBACKFAILED] + sector, status.Reason)
                                    : texts[StrId::GUI_TEXTREADBACKMISMATCH] + sector);
    return false;
}

bool RecordImage(TOpticalDevice& device, TJobEnv& env, TStream& cdImage, TBurningIO* io, TDiscState& state,
                 bool isRecorder, bool readBack) {
    const auto& texts = env.app.texts;
    if (!isRecorder && !device.CheckReady(state)) {
        env.dialogs.ShowCoolMessage(WithReason(texts[StrId::GUI_TEXTDEVICENOTREADY], state.Reason));
        return false;
    }
    if (state.DiscStatus != 0) {
        env.dialogs.ShowCoolMessage(texts[StrId::GUI_TEXTNOBLANK]);
        return false;
    }
    cdImage.Rewind();
    TBurnStatus status;
    if (!device.WriteImage(status, cdImage, io)) {
        env.dialogs.ShowCoolMessage(
            WithReason(texts[StrId::GUI_TEXTWRITINGERROR] + texts.AspiError(status.Code), status.Reason));
        return false;
    }
    return !readBack || ReadBackImage(device, env, cdImage, io);
}

bool MakeCdCopy(TOpticalDevice& device, TJobEnv& env, const TCreationSettings& settings, TBurningIO* io,
                const TCopyProgress& progress) {
    auto* recorder = dynamic_cast<TimageRecorder*>(&device);
    TDiscState state;
    if (recorder && !recorder->CheckReady(state)) return false;
    struct TDiscardOnExit {
        TimageRecorder* recorder;
        ~TDiscardOnExit() {
            if (recorder) recorder->Discard();
        }
    } discard{recorder};

    // The floppy image is built where it lies in the CD image.
    TBootCdImage image;
    TVirtualFloppy floppy(image.Floppy());
    env.dialogs.ProcessMessages();
    const bool msDos = CdUsesMsDos(env.host.Version(), settings.cdUseMsDos);
    if (!BuildBootFloppy(floppy, env.app.payloads.Cd(), msDos, env, settings)) throw ECopySkipped("");
    env.dialogs.ProcessMessages();

    // The catalogue and the volume carry the title in the 8-bit code page the texts come in.
    const auto title = Utf8ToCp1252(env.app.texts[StrId::GUI_TEXTCDHEADER]);
    image.PutHead(title);
    TSpanStream plain(image.Bytes());
    // The ISO 9660 volume grows the image past its 740 sectors, so it takes a copy of its own.
    std::optional<TMemoryStream> withVolume;
    if (settings.iso9660) {
        withVolume.emplace(std::vector<std::uint8_t>(image.Bytes().begin(), image.Bytes().end()));
        AddPrimaryVolume(*withVolume, title, EpochSecondsNow());
    }
    TStream& cdImage = withVolume ? static_cast<TStream&>(*withVolume) : plain;
    env.dialogs.ProcessMessages();

    if (!RecordImage(device, env, cdImage, io, state, recorder != nullptr, settings.readBack)) return false;
    if (progress) progress(1.0);
    return true;
}

}  // namespace

bool CreateCdDvd(TOpticalDevice& device, TJobEnv& env, const TCreationSettings& settings, TBurningIO* io,
                 const TCopyProgress& progress) {
    // A copy that fails in an unforeseen way is still a failed copy the user can repeat.
    try {
        return MakeCdCopy(device, env, settings, io, progress);
    } catch (const ECopySkipped&) {
        throw;
    } catch (const std::exception& error) {
        env.dialogs.ShowCoolMessage(env.app.texts[StrId::GUI_INSTALLERROR] + " (" + error.what() + ")");
        return false;
    }
}

}  // namespace bootdisk
