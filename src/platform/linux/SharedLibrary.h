// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A shared library opened when first needed, for what only some commands use: a run that never
// takes such a path never loads it, nor the libraries it depends on. An opened library stays loaded
// until the process ends.
#include <stdexcept>
#include <string>

namespace bootdisk::linuxhost {

// A library or one of its functions that cannot be had; the message names both and says why.
class ELibraryMissing : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TSharedLibrary {
public:
    // Opens the library by its file name (a soname, or a path); what names it to the user, as
    // "the iSCSI library", goes into errors. Throws ELibraryMissing.
    TSharedLibrary(std::string fileName, std::string what);

    // The function of that name, as type F; throws ELibraryMissing.
    template <class F>
    F Function(const char* name) const {
        return reinterpret_cast<F>(Address(name));
    }

private:
    void* Address(const char* name) const;

    std::string fileName_;
    std::string what_;
    void* handle_ = nullptr;
};

}  // namespace bootdisk::linuxhost
