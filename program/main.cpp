// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/alarmstate.h"
#include "app/startup.h"
#include "palm/clock.h"
#include "palm/privatefolder.h"
#include "ui/desktopwindows.h"
#include "ui/resources.h"
#include "ui/uitranslation.h"

#include <QApplication>
#ifdef Q_OS_WIN
#include "ui/platform/winefontengine.h"
#endif

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
#ifdef Q_OS_WIN
    useFreeTypeUnderWine();
#endif
    QApplication app(argc, argv);
    // Hiding the last window must not end the program: only Quit does.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(appIcon());
    const UiTranslation translation(uiLanguage());

    SystemClock clock;
    DesktopWindows windows;
    Startup startup({QCoreApplication::applicationName(),
                     privateFolderPath(PrivateFolderPlaces::current()),
                     std::chrono::milliseconds(1000), alarmStateFolder()},
                    clock, windows);
    const int exitCode = startup.initInstance();

    // The settings are on disk and the copies deleted: end now, without waiting for the worker
    // or running destructors.
    std::fflush(nullptr);
    std::_Exit(exitCode);
}
