// SPDX-License-Identifier: GPL-3.0-or-later
// bootdisk-wizard: the desktop wizard.
#include <QApplication>
#include <QIcon>
#include <cstdio>

#include "app/Interruption.h"
#include "app/WizardArguments.h"
#include "gui/Gui.h"
#include "gui/WizardApp.h"
#include "platform/Host.h"

int main(int argc, char** argv) {
    // --help and --version answer without a display; words the wizard does not take are Qt's.
    const auto args = bootdisk::ParseWizardArguments(bootdisk::ProgramArguments(argc, argv));
    if (!args.error.empty()) {
        std::fprintf(stderr, "bootdisk-wizard: %s\n%s", args.error.c_str(), bootdisk::WizardUsage("bootdisk-wizard").c_str());
        return 2;
    }
    if (args.help || args.version) {
        std::printf("%s", args.help ? bootdisk::WizardUsage("bootdisk-wizard").c_str()
                                    : ("bootdisk-wizard " + bootdisk::ProgramVersion().version + "\n").c_str());
        return 0;
    }
    // An interrupted or closed run removes its scratch file and says how many copies were made.
    bootdisk::EndRunsOnInterrupt();
    QApplication application(argc, argv);
    QIcon icon(":/icon/256.png");
    icon.addFile(":/icon/32.png");
    application.setWindowIcon(icon);
    // Ties the windows to the desktop entry, whose icon and name the desktop shows.
    application.setDesktopFileName("example.halvexlabs.bootdisk");
    // The splash closing before the main window is shown does not end the program.
    application.setQuitOnLastWindowClosed(false);
    bootdisk::TWizardApp wizard(bootdisk::UserSettings());
    if (!wizard.Start(bootdisk::EmbeddedResources(), args.payloadFile, args.language)) return 1;
    wizard.MainForm().show();
    application.setQuitOnLastWindowClosed(true);
    return application.exec();
}
