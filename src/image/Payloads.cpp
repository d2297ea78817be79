#include "image/Payloads.h"

#include <algorithm>
#include <exception>
#include <new>
#include <span>

#include "base/Errors.h"
#include "image/PayloadFormat.h"

namespace bootdisk {
namespace {

std::span<const std::uint8_t> Resource(const IResourceStore& resources, std::string_view name) {
    const auto bytes = resources.Find(name);
    if (!bytes) throw EStreamError("The resource " + std::string(name) + " is missing");
    return *bytes;
}

TExeDataBase Decode(std::span<const std::uint8_t> bytes) {
    TSpanStream source(bytes);
    TExeDataBase collection;
    collection.LoadFromStream(source);
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
    payloads.Cd = TExeDataBase();
    payloads.CdStore = nullptr;
    return Guarded(payloads, payload::kCdResource, [&] {
        payloads.Cd = Decode(Resource(resources, payload::kCdResource));
        payloads.CdStore = &resources;
    });
}

bool LoadFloppyPayload(TPayloads& payloads, const IResourceStore& resources) {
    payloads.Floppy = TExeDataBase();
    return Guarded(payloads, payload::kFloppyResource, [&] {
        const auto bytes = Resource(resources, payload::kFloppyResource);
        // As shipped both resources are the same bytes: one decode serves both collections.
        if (payloads.CdStore == &resources) {
            const auto cd = resources.Find(payload::kCdResource);
            if (cd && std::ranges::equal(*cd, bytes)) {
                payloads.Floppy = payloads.Cd;
                return;
            }
        }
        payloads.Floppy = Decode(bytes);
    });
}

bool LoadPayloadFile(TPayloads& payloads, const std::string& path) {
    payloads.Cd = TExeDataBase();
    payloads.Floppy = TExeDataBase();
    payloads.CdStore = nullptr;
    return Guarded(payloads, path, [&] {
        payloads.Cd = Decode(ReadWholeFile(path));
        payloads.Floppy = payloads.Cd;
    });
}

}  // namespace bootdisk
