// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A notice shown by the desktop (its notification service on the session bus), for a window that is
// in the background when the user is wanted.
#include <QString>

namespace bootdisk {

// Sent without waiting for an answer; a desktop without the service shows nothing.
void NotifyDesktop(const QString& summary, const QString& body);

}  // namespace bootdisk
