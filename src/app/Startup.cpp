// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"

#include "app/StrBase.h"

namespace bootdisk {

std::string LoadTexts(TAppContext& app, const std::string& path) {
    auto damage = LoadStringTable(app.texts, path);
    app.language = damage.empty() ? LanguageOfFile(path) : "en";
    app.autoexec = TAutoexecTemplate(app.texts[StrId::GUI_RUNNING_HALVEX]);
    return damage;
}

std::string LoadWizardTexts(TAppContext& app, const std::optional<std::string>& language) {
    try {
        const auto path = LanguageFilePath(language);
        const auto damage = LoadTexts(app, path);
        return damage.empty() ? std::string() : DamagedLanguageFileText(app.texts, path, damage);
    } catch (const ELanguageFileError& error) {
        // The English file is the one every start needs; without a language asked for, it is the
        // one that failed.
        if (!language) throw;
        LoadTexts(app, LanguageFilePath("en"));
        return error.what();
    }
}

bool LoadPayloads(TAppContext& app, const std::optional<std::string>& containerFile,
                  const IResourceStore& resources) {
    if (containerFile) return LoadPayloadFile(app.payloads, *containerFile);
    return LoadCdPayload(app.payloads, resources) && LoadFloppyPayload(app.payloads, resources);
}

}  // namespace bootdisk
