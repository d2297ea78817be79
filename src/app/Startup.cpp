// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"

#include "app/StrBase.h"

namespace bootdisk {

std::string LoadTexts(TAppContext& app, const std::string& path) {
    auto damage = LoadStringTable(app.texts, path);
    app.autoexec = TAutoexecTemplate(app.texts[StrId::GUI_RUNNING_HALVEX]);
    return damage;
}

bool LoadPayloads(TAppContext& app, const std::optional<std::string>& containerFile,
                  const IResourceStore& resources) {
    if (containerFile) return LoadPayloadFile(app.payloads, *containerFile);
    return LoadCdPayload(app.payloads, resources) && LoadFloppyPayload(app.payloads, resources);
}

}  // namespace bootdisk
