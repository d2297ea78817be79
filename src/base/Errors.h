// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <stdexcept>
#include <string>

namespace bootdisk {

// Stream failures: a file that cannot be opened, a short read or write, damaged input.
class EStreamError : public std::runtime_error {
public:
    explicit EStreamError(const std::string& message, std::string reason = {})
        : std::runtime_error(message), reason_(std::move(reason)) {}
    // The operating system's words for the failure, when it gave any.
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// Raised when a drive offered for the raw image turns out not to be removable: nothing was written.
class EDiskProtectionFault : public std::runtime_error {
public:
    EDiskProtectionFault() : std::runtime_error("Disk Protection fault : The drive is not removable.") {}
};

// Raised when a copy cannot be made on any medium now (no MS-DOS system files, a boot image that
// cannot be built, its drive taken away, a floppy the user gave up on), with the words that say
// why, or none when they were shown already: asking for the medium again cannot help, so the rest
// of its row is skipped and the run goes on.
class ECopySkipped : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace bootdisk
