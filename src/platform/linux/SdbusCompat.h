// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few calls whose form differs between sdbus-c++ 1.x (Debian 12) and 2.x (newer systems): 2.x
// names services and object paths with their own explicit string types. The build passes the
// major version it found (BOOTDISK_SDBUS_MAJOR).
#include <sdbus-c++/sdbus-c++.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

namespace bootdisk::linuxhost {

inline std::unique_ptr<sdbus::IProxy> MakeProxy(sdbus::IConnection& connection, const std::string& service,
                                                const std::string& object) {
#if BOOTDISK_SDBUS_MAJOR >= 2
    return sdbus::createProxy(connection, sdbus::ServiceName(service), sdbus::ObjectPath(object));
#else
    return sdbus::createProxy(connection, service, object);
#endif
}

// A proxy that owns its connection and runs its loop on a thread of its own, calling handler there
// for each of the signals.
inline std::unique_ptr<sdbus::IProxy> MakeListener(std::unique_ptr<sdbus::IConnection> connection,
                                                  const std::string& service, const std::string& object,
                                                  const std::string& interface,
                                                  std::initializer_list<const char*> signals,
                                                  const std::function<void()>& handler) {
#if BOOTDISK_SDBUS_MAJOR >= 2
    auto proxy = sdbus::createProxy(std::move(connection), sdbus::ServiceName(service), sdbus::ObjectPath(object));
    for (const char* signal : signals)
        proxy->registerSignalHandler(sdbus::InterfaceName(interface), sdbus::SignalName(signal),
                                     [handler](sdbus::Signal) { handler(); });
#else
    auto proxy = sdbus::createProxy(std::move(connection), service, object);
    for (const char* signal : signals)
        proxy->registerSignalHandler(interface, signal, [handler](sdbus::Signal&) { handler(); });
    proxy->finishRegistration();
#endif
    return proxy;
}

}  // namespace bootdisk::linuxhost
