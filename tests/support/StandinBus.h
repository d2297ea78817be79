// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's disk service stood in for by tests/support/udisks_standin.py on a private bus that
// every user may reach: drives whose bytes are scratch files, handed out as descriptors, and a log
// of the calls that open or unmount them.
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace bootdisk::test {

class TStandinBus {
public:
    TStandinBus();
    ~TStandinBus();
    TStandinBus(const TStandinBus&) = delete;
    TStandinBus& operator=(const TStandinBus&) = delete;

    // Why the bus or the service could not be started (a tool missing); empty when both run.
    const std::string& Missing() const { return missing_; }
    // Put before a command: the service answers it as the system's.
    std::string Env() const { return "DBUS_SYSTEM_BUS_ADDRESS=" + Quoted(address_) + " "; }
    const std::string& Address() const { return address_; }
    // A scratch file in a folder every user may enter, readable by its owner only.
    std::string Scratch(const std::string& name, std::size_t bytes) const;

    // A disk named /dev/<name> on file; with mountPoint, its partition <name>1 holds a file system
    // mounted there.
    void AddDrive(const std::string& name, const std::string& file, const std::string& mountPoint, bool removable,
                  bool system);
    void RemoveDrive(const std::string& name);
    // Unmount of /dev/<block> fails with message.
    void RefuseUnmount(const std::string& block, const std::string& message);
    // Opened for reading, /dev/<name> gives file's bytes, as a drive that does not keep what is written.
    void ReadsFrom(const std::string& name, const std::string& file);
    // method (GetManagedObjects, OpenDevice, Unmount) answers seconds late from now on, other
    // callers served meanwhile, as while the user is asked for authorisation.
    void AnswerAfter(const std::string& method, double seconds);
    // "OpenDevice /dev/sdx rw flags=...", "Unmount /dev/sdx1", in the order they came.
    std::vector<std::string> Calls() const;

private:
    void Call(const std::string& method, const std::string& arguments);

    TTempDir dir_;
    std::string missing_;
    std::string address_;
    std::string daemonPid_;
    std::string standinPid_;
};

}  // namespace bootdisk::test
