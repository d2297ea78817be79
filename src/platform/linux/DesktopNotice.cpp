#include "platform/linux/DesktopNotice.h"

#include <sdbus-c++/sdbus-c++.h>

#include <cstdint>
#include <map>
#include <vector>

namespace bootdisk::linuxhost {

void NotifyDesktop(const std::string& summary, const std::string& body) {
    try {
        const auto connection = sdbus::createSessionBusConnection();
        const auto proxy =
            sdbus::createProxy(*connection, "org.freedesktop.Notifications", "/org/freedesktop/Notifications");
        proxy->callMethod("Notify")
            .onInterface("org.freedesktop.Notifications")
            .withArguments(std::string("bootdisk-wizard"), std::uint32_t{0}, std::string("media-removable"), summary,
                           body, std::vector<std::string>{}, std::map<std::string, sdbus::Variant>{}, std::int32_t{-1})
            .dontExpectReply();
    } catch (const sdbus::Error&) {
        // No session bus or no notification service: the window's own request for attention stays.
    }
}

}  // namespace bootdisk::linuxhost
