// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk/DiskCheck.h"

namespace bootdisk {

bool SameDisk(const TDiskIdentity& confirmed, const TDiskIdentity& opened) {
    if (!confirmed.number.empty() && !opened.number.empty() && confirmed.number != opened.number) return false;
    return confirmed.identity.empty() || confirmed.identity == opened.identity;
}

std::string OpenedDiskRefusal(const TStringTable& texts, const TConfirmedDisk& confirmed,
                              const std::optional<TDiskIdentity>& opened) {
    if (!opened || SameDisk(confirmed.disk, *opened)) return {};
    const auto named = [&](const TDiskIdentity& disk) {
        return disk.details.empty() ? texts[StrId::DRIVE_UNNAMED] : disk.details;
    };
    // Two sticks of one make and size read alike: the one found is "another" of them.
    auto found = named(*opened);
    if (found == named(confirmed.disk)) found = WithValues(texts[StrId::DRIVE_ANOTHER], {found});
    return WithValues(texts[StrId::DRIVE_NOTCONFIRMED], {confirmed.device, named(confirmed.disk), found});
}

}  // namespace bootdisk
