#pragma once
// The two payload collections of one run: the CD one ("SANITCD") and the floppy one ("SANITDSK").
#include <string>

#include "image/userData.h"
#include "platform/Resources.h"

namespace bootdisk {

// Created once by the application and handed to the builders, which share it read-only.
struct TPayloads {
    TExeDataBase Cd;
    TExeDataBase Floppy;
    // Why the last load that returned false failed, for front ends that show more than a flag.
    std::string LastError;

    // Where Cd came from, so an identical floppy resource can reuse its decode.
    const IResourceStore* CdStore = nullptr;
};

// Load the collection from its resource; false, with LastError set, on any failure.
bool LoadCdPayload(TPayloads& payloads, const IResourceStore& resources);
bool LoadFloppyPayload(TPayloads& payloads, const IResourceStore& resources);

// Loads both collections from one container file in place of the resources.
bool LoadPayloadFile(TPayloads& payloads, const std::string& path);

}  // namespace bootdisk
