// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few calls whose form differs between sdbus-c++ 1.x (Debian 12) and 2.x (newer systems): 2.x
// names services and object paths with their own explicit string types. The build passes the
// major version it found (BOOTDISK_SDBUS_MAJOR).
#include <sdbus-c++/sdbus-c++.h>

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

}  // namespace bootdisk::linuxhost
