#pragma once
// A notice shown by the desktop (its notification service on the session bus), for a window that is
// in the background when the user is wanted.
#include <string>

namespace bootdisk::linuxhost {

// Sent without waiting for an answer; a desktop without the service shows nothing. UTF-8 texts.
void NotifyDesktop(const std::string& summary, const std::string& body);

}  // namespace bootdisk::linuxhost
