#include "optical/Optical_devices.h"

#include <stdexcept>

#include "optical/TracingTransport.h"
#include "platform/sim/SimWriter.h"

namespace bootdisk {
namespace {

constexpr std::string_view kSimScheme = "sim:";

}  // namespace

TOpticalDevices::TOpticalDevices(const TPassThroughHost& host) {
    // An ASPI layer, when one is reached, wins over the pass-through: its scan goes here.
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
        auto device = std::make_unique<TSPTIdevice>(std::move(transport));
        if (device->DeviceType == kDeviceTypeCdRom) Devices.push_back(std::move(device));
    }
}

TOpenedTransport OpenTransport(const std::string& name, bool trace) {
    TOpenedTransport opened;
    if (IsIscsiUrl(name)) {
        opened.transport = OpenIscsi(ParseIscsiUrl(name), name);
    } else if (name.starts_with(kSimScheme)) {
        auto sim = MakeSimWriter(name);
        if (!sim) throw std::invalid_argument("unknown emulated writer '" + name + "'");
        opened.sim = sim.get();
        opened.transport = std::move(sim);
    } else {
        opened.transport = OpenPassThrough(name);
    }
    if (trace) opened.transport = std::make_unique<TTracingTransport>(std::move(opened.transport));
    return opened;
}

}  // namespace bootdisk
