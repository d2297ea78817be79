// bootdisk-wizard: the desktop wizard.
#include <QApplication>

#include "app/Interruption.h"
#include "gui/Gui.h"
#include "gui/WizardApp.h"

int main(int argc, char** argv) {
    // An interrupted or closed run removes its scratch file and says how many copies were made.
    bootdisk::EndRunsOnInterrupt();
    QApplication application(argc, argv);
    // The splash closing before the main window is shown does not end the program.
    application.setQuitOnLastWindowClosed(false);
    bootdisk::TWizardApp wizard(bootdisk::UserSettings());
    if (!wizard.Start(bootdisk::EmbeddedResources())) return 1;
    wizard.MainForm().show();
    application.setQuitOnLastWindowClosed(true);
    return application.exec();
}
