// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pseudo writer that saves the boot CD image as an .ISO file.
#include <memory>
#include <optional>
#include <string>

#include "base/PendingFile.h"
#include "optical/Optical_device.h"
#include "platform/Dialogs.h"

namespace bootdisk {

class TStringTable;

// The save dialog's request for the destination of an image.
TSaveFileRequest ImageFileRequest();

// The one rule for output names: a plain new name (no extension, nothing of that name yet) in an
// existing folder receives the default extension, as the save dialog gives it; any other name
// stands as it is, and CheckOutputTarget refuses what may not be written.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);
// "Cannot create the image file PATH: REASON", said when an output file cannot be made.
std::string CannotCreateFileText(const TStringTable& texts, const std::string& path, const EStreamError& error);

class TimageRecorder : public TOpticalDevice {
public:
    TimageRecorder(IDialogs& dialogs, const TStringTable& texts);
    ~TimageRecorder() override;

    TScsiResult ReadCapabilities() override { return kScsiOk; }
    // Asks for the destination and opens a scratch file beside it; an existing file of that
    // name stays untouched until the image is complete, and a name that is not a regular file
    // (a device, a FIFO, a link to nothing) is refused.
    bool CheckReady(TDiscState& state) override;
    bool WriteImage(TBurnStatus& status, TStream& source, TBurningIO* io) override;
    // Drops the scratch file of a job that ended before WriteImage.
    void Discard();

    const std::string& Destination() const { return destination_; }

private:
    IDialogs& dialogs_;
    const TStringTable& texts_;
    std::string destination_;
    std::unique_ptr<TPendingFile> pending_;
};

}  // namespace bootdisk
