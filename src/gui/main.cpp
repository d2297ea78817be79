// bootdisk-wizard: the desktop wizard.
#include <QApplication>

#include "gui/Gui.h"
#include "gui/WizardApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The splash closing before the main window is shown does not end the program.
    application.setQuitOnLastWindowClosed(false);
    bootdisk::TWizardApp wizard(bootdisk::UserSettings());
    if (!wizard.Start(bootdisk::EmbeddedResources())) return 1;
    wizard.MainForm().show();
    application.setQuitOnLastWindowClosed(true);
    return application.exec();
}
