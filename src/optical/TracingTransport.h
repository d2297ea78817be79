// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A transport that passes every command on and prints it as one line: the CDB bytes, the data
// direction and length, and the result code, e.g. "2a 00 00 00 00 00 00 00 0a 00 out 20480 -> 0";
// a command that ended in CHECK CONDITION adds its sense bytes and their meaning.
#include <cstdio>
#include <memory>
#include <string>

#include "optical/ScsiTransport.h"

namespace bootdisk {

class TTracingTransport : public IScsiTransport {
public:
    TTracingTransport(std::unique_ptr<IScsiTransport> inner, std::FILE* out = stderr);
    TScsiResult Execute(const TScsiRequest& request) override;
    std::string Describe() const override { return inner_->Describe(); }
    TScsiResult Eject() override { return inner_->Eject(); }
    std::unique_ptr<IDeviceHold> HoldOpen() override { return inner_->HoldOpen(); }
    std::string FailureReason() const override { return inner_->FailureReason(); }
    TSenseBytes LastSense() const override { return inner_->LastSense(); }
    // Printed among the commands as "# TEXT".
    void Remark(const std::string& text) override;

private:
    std::unique_ptr<IScsiTransport> inner_;
    std::FILE* out_;
};

// The trace line of one command, without the line end.
std::string TraceLine(const TScsiRequest& request, TScsiResult result, const TSenseBytes& sense = {});

}  // namespace bootdisk
