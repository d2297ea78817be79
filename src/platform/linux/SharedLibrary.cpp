// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/SharedLibrary.h"

#include <dlfcn.h>

namespace bootdisk::linuxhost {
namespace {

std::string LoaderError() {
    const char* error = ::dlerror();
    return error ? error : "unknown reason";
}

}  // namespace

TSharedLibrary::TSharedLibrary(std::string fileName, std::string what)
    : fileName_(std::move(fileName)), what_(std::move(what)) {
    handle_ = ::dlopen(fileName_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) throw ELibraryMissing(what_ + " (" + fileName_ + ") cannot be loaded: " + LoaderError());
}

void* TSharedLibrary::Address(const char* name) const {
    ::dlerror();
    void* address = ::dlsym(handle_, name);
    if (!address) throw ELibraryMissing(what_ + " (" + fileName_ + ") lacks " + name + ": " + LoaderError());
    return address;
}

}  // namespace bootdisk::linuxhost
