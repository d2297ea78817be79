#include "cli/Confirm.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Host.h"

namespace bootdisk::cli {
namespace {

namespace fs = std::filesystem;

// The mount table writes blanks, tabs, newlines and backslashes in names as octal escapes.
std::string Unescape(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool octal = field[i] == '\\' && i + 4 <= field.size() &&
                           field.substr(i + 1, 3).find_first_not_of("01234567") == std::string::npos;
        if (octal) {
            text += char(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

bool SameDevice(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code error;
    return fs::equivalent(a, b, error);
}

}  // namespace

bool ConfirmWrite(const std::string& device, const TArguments& args) {
    if (args.yes) return true;
    if (!StdinIsTerminal()) {
        std::fprintf(stderr, "bootdisk: %s would be overwritten; give --yes to write without asking\n", device.c_str());
        return false;
    }
    std::ifstream in(device, std::ios::binary | std::ios::ate);
    const long long size = in ? static_cast<long long>(in.tellg()) : -1;
    const std::string sizeText = size >= 0 ? std::to_string(size) + " bytes" : "size unknown";
    std::fprintf(stderr, "Everything on %s (%s) will be overwritten. Go ahead? [y/N] ", device.c_str(),
                 sizeText.c_str());
    std::fflush(stderr);
    std::string answer;
    for (int c = std::fgetc(stdin); c != EOF && c != '\n'; c = std::fgetc(stdin)) answer += char(c);
    return answer == "y" || answer == "Y" || answer == "yes";
}

std::optional<std::string> MountPointOf(const std::string& device) {
    std::ifstream mounts("/proc/self/mounts");
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string source, target;
        if (fields >> source >> target && SameDevice(Unescape(source), device)) return Unescape(target);
    }
    return std::nullopt;
}

}  // namespace bootdisk::cli
