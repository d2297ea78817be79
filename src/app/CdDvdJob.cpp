#include "app/CdDvdJob.h"

#include "app/Options.h"
#include "image/DosBoot.h"
#include "image/ISO9660.h"
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

bool RecordImage(TOpticalDevice& device, TJobEnv& env, TStream& cdImage, TBurningIO* io, TDiscState& state,
                 bool isRecorder) {
    const auto& texts = env.app.texts;
    if (!isRecorder && !device.CheckReady(state)) {
        env.dialogs.ShowCoolMessage(texts[StrId::GUI_TEXTDEVICENOTREADY]);
        return false;
    }
    if (state.DiscStatus != 0) {
        env.dialogs.ShowCoolMessage(texts[StrId::GUI_TEXTNOBLANK]);
        return false;
    }
    cdImage.Rewind();
    TBurnStatus status;
    if (!device.WriteImage(status, cdImage, io)) {
        const auto reason = status.Reason.empty() ? std::string() : " (" + status.Reason + ")";
        env.dialogs.ShowCoolMessage(texts[StrId::GUI_TEXTWRITINGERROR] + texts.AspiError(status.Code) + reason);
        return false;
    }
    return true;
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
    if (!BuildBootFloppy(floppy, env.app.payloads.Cd(), msDos, env, settings)) return false;
    env.dialogs.ProcessMessages();

    image.PutHead(env.app.texts[StrId::GUI_TEXTCDHEADER]);
    TSpanStream cdImage(image.Bytes());
    env.dialogs.ProcessMessages();

    if (!RecordImage(device, env, cdImage, io, state, recorder != nullptr)) return false;
    if (progress) progress(1.0);
    return true;
}

}  // namespace

bool CreateCdDvd(TOpticalDevice& device, TJobEnv& env, const TCreationSettings& settings, TBurningIO* io,
                 const TCopyProgress& progress) {
    // A copy that fails in an unforeseen way is still a failed copy the user can repeat.
    try {
        return MakeCdCopy(device, env, settings, io, progress);
    } catch (const std::exception& error) {
        env.dialogs.ShowCoolMessage(env.app.texts[StrId::GUI_INSTALLERROR] + " (" + error.what() + ")");
        return false;
    }
}

}  // namespace bootdisk
