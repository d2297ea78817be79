// SPDX-License-Identifier: GPL-3.0-or-later
// The reader of dnsmasq's log, fed in two pieces split where the first byte says.
#include <string_view>

#include "app/NetbootServer.h"

using namespace bootdisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto split = std::min<std::size_t>(data[0], text.size());
    TDnsmasqLog log("/srv/tftp");
    log.Feed(text.substr(0, split));
    log.Feed(text.substr(split));
    DnsmasqFailureHint(log.OtherLines());
    return 0;
}
