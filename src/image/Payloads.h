// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two payload collections of one run: the CD one ("SANITCD") and the floppy one ("SANITDSK").
#include <memory>
#include <string>

#include "image/userData.h"
#include "platform/Resources.h"

namespace bootdisk {

// Created once by the application and handed to the builders, which share it read-only. When
// both resources hold the same bytes, as shipped, both collections are one decode.
class TPayloads {
public:
    TExeDataBase& Cd() { return *cd_; }
    TExeDataBase& Floppy() { return *floppy_; }
    bool Shared() const { return cd_ == floppy_; }
    // The SHA-256 of each container as stored, naming the payload a medium was made from.
    const std::string& CdSha256() const { return cdSha256_; }
    const std::string& FloppySha256() const { return floppySha256_; }

    // Why the last load that returned false failed, for front ends that show more than a flag.
    std::string LastError;

private:
    friend bool LoadCdPayload(TPayloads&, const IResourceStore&);
    friend bool LoadFloppyPayload(TPayloads&, const IResourceStore&);
    friend bool LoadPayloadFile(TPayloads&, const std::string&);

    std::shared_ptr<TExeDataBase> cd_ = std::make_shared<TExeDataBase>();
    std::shared_ptr<TExeDataBase> floppy_ = std::make_shared<TExeDataBase>();
    std::string cdSha256_;
    std::string floppySha256_;
    // Where the CD collection came from, so an identical floppy resource can reuse its decode.
    const IResourceStore* cdStore_ = nullptr;
};

// Load the collection from its resource; false, with LastError set, on any failure.
bool LoadCdPayload(TPayloads& payloads, const IResourceStore& resources);
bool LoadFloppyPayload(TPayloads& payloads, const IResourceStore& resources);

// Loads both collections from one container file in place of the resources.
bool LoadPayloadFile(TPayloads& payloads, const std::string& path);

}  // namespace bootdisk
