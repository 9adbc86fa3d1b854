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

    // Whether the arguments ask for --help or --version, which are answered before the
    // window system is needed. Qt's own options may still be among the arguments.
    static bool asksForHelpOrVersion(const QStringList &arguments);

    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};
