#pragma once
// The CD/DVD writers of this host: the choice of transport, the scan, and opening a device by name.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "optical/IscsiUrl.h"
#include "optical/Optical_device.h"
#include "optical/SPTI.h"
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
// A logged-in iSCSI session to the LUN; name is what Describe answers. Throws std::runtime_error.
std::unique_ptr<IScsiTransport> OpenIscsi(const TIscsiUrl& url, const std::string& name);

struct TPassThroughHost {
    std::function<std::vector<std::string>()> names = PassThroughDeviceNames;
    std::function<std::unique_ptr<IScsiTransport>(const std::string&)> open = OpenPassThrough;
};

class TOpticalDevices {
public:
    // Runs the scans and keeps the CD-ROM-class devices of the chosen transport, in scan order.
    explicit TOpticalDevices(const TPassThroughHost& host = {});

    // No ASPI layer is reached from this build; the pass-through devices are the choice.
    static constexpr bool AspiAvailable() { return false; }

    std::size_t Count() const { return Devices.size(); }
    TSPTIdevice& Item(std::size_t index) { return *Devices.at(index); }

    // The drives the scan found but could not open, each with the reason.
    std::vector<std::string> Unopened;

private:
    std::vector<std::unique_ptr<TSPTIdevice>> Devices;
};

class TSimWriter;

struct TOpenedTransport {
    std::unique_ptr<IScsiTransport> transport;
    const TSimWriter* sim = nullptr;  // the emulated writer behind transport, for looking at its disc
};

// A device named on the command line: "/dev/srN" (or "E:" on Windows), "iscsi://...", or "sim:...".
// With trace, every command is printed on stderr. Throws std::runtime_error or
// std::invalid_argument saying why it cannot be opened.
TOpenedTransport OpenTransport(const std::string& name, bool trace);

}  // namespace bootdisk
