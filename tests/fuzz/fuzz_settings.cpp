// SPDX-License-Identifier: GPL-3.0-or-later
// The settings reader on arbitrary file contents.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Settings.h"

using namespace bootdisk;

namespace {

// One scratch folder per fuzzing process, removed when it ends.
struct TScratch {
    TScratch() { std::filesystem::create_directories(dir / "Maker" / "Product"); }
    ~TScratch() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bootdisk-fuzz-settings-" + std::to_string(::getpid()));
};

const std::string& Root() {
    static const TScratch scratch;
    static const std::string root = scratch.dir.string();
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream file(Root() + "/Maker/Product/Configurations.ini", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    static const std::vector<std::string> names = {"opt0", "opt1", "opt2", "OPT3", ""};
    IniSettings(Root())->Read("Software\\Maker\\Product\\Configurations", names);
    return 0;
}
