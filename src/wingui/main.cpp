// bootdisk-wizard.exe: the Windows wizard.
#include <windows.h>
#include <commctrl.h>

#include "app/Interruption.h"
#include "app/StrBase.h"
#include "platform/HostSystem.h"
#include "platform/Resources.h"
#include "platform/Settings.h"
#include "wingui/Controls.h"
#include "wingui/CoolMsg.h"
#include "wingui/Gui.h"
#include "wingui/InitForm.h"
#include "wingui/WinDialogs.h"

using namespace bootdisk;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // An interrupted or closed run removes its scratch file and says how many copies were made.
    EndRunsOnInterrupt();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    CoInitialize(nullptr);  // the shell's folder browser

    TAppContext app;
    try {
        LoadTexts(app, LanguageFilePath());
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
        [&] { return LoadCdPayload(app.payloads, resources); },
        [&] { return LoadFloppyPayload(app.payloads, resources); },
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
