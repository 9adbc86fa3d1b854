#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// Options of koru-assistant. QApplication takes out its own (-platform, -style, -reverse, ...)
// before these are parsed. Without any, the program finds the controller by its USB identity
// only.
struct CommandLine
{
    QString devicePath;   // --device PATH: treat PATH as the controller's port
    bool demo = false;    // --demo: serve a simulated controller inside the process
    bool service = false; // --service: also show the console and production pages
    bool exitNow = false;
    int exitCode = 0;
    QString message; // help, version or error text for the terminal

    static CommandLine parse(const QStringList &arguments);

    // Whether the arguments can be answered before the window system is needed, with Qt's
    // own options still among them: --help, --version, or an option neither we nor Qt know.
    static bool answersWithoutWindowSystem(const QStringList &arguments);
    // That answer; needs a QCoreApplication for the help text.
    static CommandLine parseBeforeWindowSystem(const QStringList &arguments);

    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};
