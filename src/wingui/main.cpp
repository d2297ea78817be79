// SPDX-License-Identifier: GPL-3.0-or-later
// bootdisk-wizard.exe: the Windows wizard.
#include <windows.h>
#include <commctrl.h>

#include "app/Interruption.h"
#include "app/StrBase.h"
#include "app/WizardArguments.h"
#include "platform/Host.h"
#include "platform/HostSystem.h"
#include "platform/win32/Utf8.h"
#include "platform/Resources.h"
#include "platform/Settings.h"
#include "wingui/Controls.h"
#include "wingui/CoolMsg.h"
#include "wingui/Gui.h"
#include "wingui/InitForm.h"
#include "wingui/WinDialogs.h"

using namespace bootdisk;

namespace {

// A program without a console answers --help and --version in a box.
int ShowUsage(const std::string& text, int status) {
    MessageBoxW(nullptr, Widen(text).c_str(), L"bootdisk-wizard", status == 0 ? MB_ICONINFORMATION : MB_ICONERROR);
    return status;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const auto args = ParseWizardArguments(ProgramArguments(0, nullptr));
    const auto usage = WizardUsage("bootdisk-wizard");
    if (!args.error.empty()) return ShowUsage(args.error + "\n\n" + usage, 2);
    if (!args.rest.empty()) return ShowUsage("unknown option " + args.rest.front() + "\n\n" + usage, 2);
    if (args.help) return ShowUsage(usage, 0);
    if (args.version) return ShowUsage("bootdisk-wizard " + ProgramVersion().version, 0);
    // An interrupted or closed run removes its scratch file and says how many copies were made.
    EndRunsOnInterrupt();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    CoInitialize(nullptr);  // the shell's folder browser

    TAppContext app;
    try {
        if (const auto notice = LoadWizardTexts(app, args.language); !notice.empty())
            win::ShowCoolBox(nullptr, app.texts, notice, win::TCoolLayout::Information);
    } catch (const ELanguageFileError& error) {
        win::ShowCoolBox(nullptr, app.texts, error.what(), win::TCoolLayout::Information);
        return 1;
    }
    const auto settings = UserSettings();
    win::TWinDialogs dialogs(app.texts, RealHost());
    win::TMainForm mainForm(app, dialogs, *settings);
    if (!mainForm.Create()) return 1;

    const auto& resources = EmbeddedResources();
    const bool loaded = win::RunInitialization(app.texts[StrId::PRODUCTTXT], {
        [&] { return args.payloadFile ? LoadPayloadFile(app.payloads, *args.payloadFile) : LoadCdPayload(app.payloads, resources); },
        [&] { return args.payloadFile || LoadFloppyPayload(app.payloads, resources); },
        [&] {
            mainForm.BuildMediaKinds();
            return true;
        },
    });
    if (!loaded) {
        dialogs.ShowCoolMessage(app.texts[StrId::GUI_FILECORRUPT]);
        return 1;
    }
    mainForm.Show();
    win::SetDialogKeysWindow(mainForm.Window());
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (win::IsDialogKey(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoUninitialize();
    return int(message.wParam);
}
