// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/StandinBus.h"

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace bootdisk::test {
namespace {

// Any user may connect: the program under test runs as another user than the service.
constexpr const char* kConfig = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <listen>unix:path=SOCKET</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
)";

std::vector<std::string> Lines(const std::string& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Script() {
    return (std::filesystem::path(DataPath("")).parent_path().parent_path() / "support" / "udisks_standin.py").string();
}

}  // namespace

TStandinBus::TStandinBus() {
    if (RunCommand("command -v dbus-daemon dbus-send") != 0) {
        missing_ = "dbus-daemon and dbus-send are not installed (package dbus)";
        return;
    }
    if (RunCommand("/usr/bin/python3 -c 'import dbus, gi'") != 0) {
        missing_ = "the stand-in needs /usr/bin/python3 with dbus and gi (packages python3-dbus, python3-gi)";
        return;
    }
    ::chmod(dir_.Path().c_str(), 0755);
    std::string config = kConfig;
    config.replace(config.find("SOCKET"), 6, dir_ / "bus");
    WriteFile(dir_ / "bus.conf", Text(config));
    std::string output;
    if (RunCommand("dbus-daemon --config-file=" + Quoted(dir_ / "bus.conf") + " --fork --print-address=1 --print-pid=1",
                   &output) != 0)
        throw std::runtime_error("dbus-daemon does not start: " + output);
    std::istringstream lines(output);
    std::getline(lines, address_);
    std::getline(lines, daemonPid_);
    output.clear();
    RunCommand("DBUS_STARTER_ADDRESS=" + Quoted(address_) + " /usr/bin/python3 " + Quoted(Script()) + " " +
                   Quoted(dir_ / "calls") + " > " + Quoted(dir_ / "standin.out") + " 2>&1 & echo $!",
               &output);
    standinPid_ = output.substr(0, output.find('\n'));
    for (int wait = 0; wait < 200; ++wait) {
        const auto calls = Lines(dir_ / "calls");
        if (!calls.empty() && calls.front() == "ready") return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ifstream log(dir_ / "standin.out");
    throw std::runtime_error("the stand-in does not answer: " + std::string(std::istreambuf_iterator<char>(log), {}));
}

TStandinBus::~TStandinBus() {
    if (!standinPid_.empty()) RunCommand("kill " + standinPid_);
    if (!daemonPid_.empty()) RunCommand("kill " + daemonPid_);
}

std::string TStandinBus::Scratch(const std::string& name, std::size_t bytes) const {
    const auto path = dir_ / name;
    WriteFile(path, std::vector<std::uint8_t>(bytes));
    ::chmod(path.c_str(), 0600);
    return path;
}

void TStandinBus::Call(const std::string& method, const std::string& arguments) {
    std::string output;
    if (RunCommand("dbus-send --bus=" + Quoted(address_) +
                       " --print-reply --dest=org.freedesktop.UDisks2 /org/bootdisk/Test org.bootdisk.Test." + method +
                       " " + arguments,
                   &output) != 0)
        throw std::runtime_error("the stand-in refuses " + method + ": " + output);
}

void TStandinBus::AddDrive(const std::string& name, const std::string& file, const std::string& mountPoint,
                           bool removable, bool system) {
    const auto flag = [](bool value) { return value ? std::string(" boolean:true") : std::string(" boolean:false"); };
    Call("AddDrive",
         Quoted("string:" + name) + " " + Quoted("string:" + file) + " " + Quoted("string:" + mountPoint) +
             flag(removable) + flag(system));
}

void TStandinBus::RemoveDrive(const std::string& name) { Call("RemoveDrive", Quoted("string:" + name)); }

void TStandinBus::RefuseUnmount(const std::string& block, const std::string& message) {
    Call("RefuseUnmount", Quoted("string:" + block) + " " + Quoted("string:" + message));
}

void TStandinBus::ReadsFrom(const std::string& name, const std::string& file) {
    Call("ReadsFrom", Quoted("string:" + name) + " " + Quoted("string:" + file));
}

void TStandinBus::AnswerAfter(const std::string& method, double seconds) {
    Call("AnswerAfter", Quoted("string:" + method) + " double:" + std::to_string(seconds));
}

std::vector<std::string> TStandinBus::Calls() const {
    auto calls = Lines(dir_ / "calls");
    if (!calls.empty()) calls.erase(calls.begin());  // "ready"
    return calls;
}

}  // namespace bootdisk::test
