// SPDX-License-Identifier: GPL-3.0-or-later
#include "optical/Optical_devices.h"

#include <stdexcept>

#include "optical/ASPI.h"
#include "optical/SPTI.h"
#include "optical/TracingTransport.h"
#include "platform/sim/SimAspi.h"
#include "platform/sim/SimWriter.h"

namespace bootdisk {
namespace {

constexpr std::string_view kSimScheme = "sim:";
constexpr std::string_view kSimAspiScheme = "sim-aspi:";

std::unique_ptr<IScsiTransport> Traced(std::unique_ptr<IScsiTransport> transport, bool trace) {
    if (trace) return std::make_unique<TTracingTransport>(std::move(transport));
    return transport;
}

// The first CD-ROM-class unit the scan of the emulated layer finds, identified anew over a
// transport that traces when asked.
TOpenedDevice OpenSimAspi(const std::string& name, bool trace) {
    auto layer = MakeSimAspi(name);
    if (!layer) throw std::invalid_argument("unknown emulated writer '" + name + "'");
    TASPIdevices scan(layer);
    for (std::size_t i = 0; i < scan.Count(); ++i) {
        const auto& found = scan.Item(i);
        if (found.DeviceType != kDeviceTypeCdRom) continue;
        TOpenedDevice opened;
        opened.sim = layer->Writer(found.Address);
        opened.device = std::make_unique<TASPIdevice>(
            Traced(std::make_unique<TAspiTransport>(layer, found.Address), trace), found.Address, found.AdapterInquiry,
            found.DeviceTypeBlock);
        return opened;
    }
    throw std::runtime_error("no CD/DVD writer behind " + name);
}

}  // namespace

TOpticalDevices::TOpticalDevices(const TPassThroughHost& host, std::shared_ptr<IAspiLayer> aspi) {
    TASPIdevices aspiDevices(std::move(aspi));
    aspiAvailable_ = aspiDevices.Info.Available;
    if (!aspiAvailable_) {
        // Probing the lettered drives as well would only find the same writers again.
        ScanPassThrough(host);
        return;
    }
    for (auto& device : aspiDevices.Take()) Keep(std::move(device));
}

void TOpticalDevices::ScanPassThrough(const TPassThroughHost& host) {
    for (const auto& name : host.names()) {
        std::unique_ptr<IScsiTransport> transport;
        try {
            transport = host.open(name);
        } catch (const EDeviceOpenError& error) {
            Unopened.push_back(error.what());
            continue;
        } catch (const std::runtime_error&) {
            continue;  // not a drive that takes SCSI commands
        }
        Keep(std::make_unique<TSPTIdevice>(std::move(transport)));
    }
}

void TOpticalDevices::Keep(std::unique_ptr<TOpticalDevice> device) {
    if (device->DeviceType == kDeviceTypeCdRom) Devices.push_back(std::move(device));
}

bool IsPassThroughName(const std::string& name) {
    return !name.starts_with(kSimAspiScheme) && !name.starts_with(kSimScheme) && !IsIscsiUrl(name);
}

TOpenedDevice OpenDevice(const std::string& name, bool trace) {
    if (name.starts_with(kSimAspiScheme)) return OpenSimAspi(name, trace);
    TOpenedDevice opened;
    std::unique_ptr<IScsiTransport> transport;
    if (IsIscsiUrl(name)) {
        transport = OpenIscsi(ParseIscsiUrl(name), name);
    } else if (name.starts_with(kSimScheme)) {
        auto sim = MakeSimWriter(name);
        if (!sim) throw std::invalid_argument("unknown emulated writer '" + name + "'");
        opened.sim = sim.get();
        transport = std::move(sim);
    } else {
        transport = OpenPassThrough(name);
    }
    opened.device = std::make_unique<TSPTIdevice>(Traced(std::move(transport), trace));
    return opened;
}

}  // namespace bootdisk
