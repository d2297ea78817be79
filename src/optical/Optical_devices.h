// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The CD/DVD writers of this host: the choice of transport, the scans, and opening a device by name.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "optical/AspiLayer.h"
#include "optical/IscsiUrl.h"
#include "optical/Optical_device.h"
#include "optical/ScsiTransport.h"

namespace bootdisk {

// The host's pass-through (platform/linux: SG_IO on /dev/srN; platform/win32: \\.\X:).
// The devices to probe, in scan order: /dev/sr0, /dev/sr1, ... or the lettered drives A: to Z:.
std::vector<std::string> PassThroughDeviceNames();
// A drive that is there but cannot be opened (no permission, held by another program): unlike a
// device that takes no SCSI commands, the user wants to hear about it.
class EDeviceOpenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws std::runtime_error (EDeviceOpenError for a drive that is there) saying why the device
// cannot be opened.
std::unique_ptr<IScsiTransport> OpenPassThrough(const std::string& name);
// Whether OpenDevice reaches name through the host's pass-through: not an emulated writer or an
// iSCSI target.
bool IsPassThroughName(const std::string& name);
// A logged-in iSCSI session to the LUN; name is what Describe answers. Throws std::runtime_error.
std::unique_ptr<IScsiTransport> OpenIscsi(const TIscsiUrl& url, const std::string& name);

struct TPassThroughHost {
    std::function<std::vector<std::string>()> names = PassThroughDeviceNames;
    std::function<std::unique_ptr<IScsiTransport>(const std::string&)> open = OpenPassThrough;
};

class TOpticalDevices {
public:
    // Keeps the CD-ROM-class devices of the chosen transport, in scan order: those of the ASPI layer
    // when it reports itself ready, else those of the pass-through scan. A writer reachable both ways
    // is thus listed once.
    explicit TOpticalDevices(const TPassThroughHost& host = {}, std::shared_ptr<IAspiLayer> aspi = HostAspiLayer());

    bool AspiAvailable() const { return aspiAvailable_; }

    std::size_t Count() const { return Devices.size(); }
    TOpticalDevice& Item(std::size_t index) { return *Devices.at(index); }

    // The drives the scan found but could not open, each with the reason.
    std::vector<std::string> Unopened;

private:
    void ScanPassThrough(const TPassThroughHost& host);
    void Keep(std::unique_ptr<TOpticalDevice> device);

    bool aspiAvailable_ = false;
    std::vector<std::unique_ptr<TOpticalDevice>> Devices;
};

class TSimWriter;

struct TOpenedDevice {
    std::unique_ptr<TOpticalDevice> device;
    const TSimWriter* sim = nullptr;  // the emulated writer behind device, for looking at its disc
};

// A device named on the command line: "/dev/srN" (or "E:" on Windows), "iscsi://...", "sim:..." (the
// emulated writer on the pass-through) or "sim-aspi:..." (the same writer behind an emulated ASPI
// layer). With trace, every command is printed on stderr. Throws std::runtime_error or
// std::invalid_argument saying why it cannot be opened.
TOpenedDevice OpenDevice(const std::string& name, bool trace);

}  // namespace bootdisk
