// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/Payloads.h"

#include <algorithm>
#include <exception>
#include <new>
#include <span>

#include "base/Errors.h"
#include "base/Sha256.h"
#include "image/PayloadFormat.h"

namespace bootdisk {
namespace {

std::span<const std::uint8_t> Resource(const IResourceStore& resources, std::string_view name) {
    const auto bytes = resources.Find(name);
    if (!bytes) throw EStreamError("The resource " + std::string(name) + " is missing");
    return *bytes;
}

std::shared_ptr<TExeDataBase> Decode(std::span<const std::uint8_t> bytes) {
    TSpanStream source(bytes);
    auto collection = std::make_shared<TExeDataBase>();
    collection->LoadFromStream(source);
    return collection;
}

// Runs one load, turning every failure into false and a reason.
template <class Load>
bool Guarded(TPayloads& payloads, std::string_view what, Load load) {
    try {
        load();
        payloads.LastError.clear();
        return true;
    } catch (const std::bad_alloc&) {
        payloads.LastError = std::string(what) + ": out of memory";
    } catch (const std::exception& e) {
        payloads.LastError = std::string(what) + ": " + e.what();
    }
    return false;
}

}  // namespace

bool LoadCdPayload(TPayloads& payloads, const IResourceStore& resources) {
    payloads.cd_ = std::make_shared<TExeDataBase>();
    payloads.cdStore_ = nullptr;
    return Guarded(payloads, payload::kCdResource, [&] {
        const auto bytes = Resource(resources, payload::kCdResource);
        payloads.cd_ = Decode(bytes);
        payloads.cdSha256_ = Sha256Hex(bytes);
        payloads.cdStore_ = &resources;
    });
}

bool LoadFloppyPayload(TPayloads& payloads, const IResourceStore& resources) {
    payloads.floppy_ = std::make_shared<TExeDataBase>();
    return Guarded(payloads, payload::kFloppyResource, [&] {
        const auto bytes = Resource(resources, payload::kFloppyResource);
        payloads.floppySha256_ = Sha256Hex(bytes);
        // As shipped both resources are the same bytes: one decode serves both collections.
        if (payloads.cdStore_ == &resources) {
            const auto cd = resources.Find(payload::kCdResource);
            if (cd && std::ranges::equal(*cd, bytes)) {
                payloads.floppy_ = payloads.cd_;
                return;
            }
        }
        payloads.floppy_ = Decode(bytes);
    });
}

bool LoadPayloadFile(TPayloads& payloads, const std::string& path) {
    payloads.cd_ = std::make_shared<TExeDataBase>();
    payloads.floppy_ = std::make_shared<TExeDataBase>();
    payloads.cdStore_ = nullptr;
    return Guarded(payloads, path, [&] {
        TFileStream file(path, FileMode::Read);
        payloads.cd_ = std::make_shared<TExeDataBase>();
        payloads.cd_->LoadFromStream(file);
        payloads.floppy_ = payloads.cd_;
        payloads.cdSha256_ = payloads.floppySha256_ = Sha256Hex(file);
    });
}

}  // namespace bootdisk
