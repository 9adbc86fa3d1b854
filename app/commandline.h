#pragma once

#include <QString>
#include <QStringList>

// Options of koru-assistant. Without any, the program finds the controller by its USB
// identity only.
struct CommandLine
{
    QString devicePath; // --device PATH: treat PATH as the controller's port
    bool demo = false;  // --demo: serve a simulated controller inside the process
    bool exitNow = false;
    int exitCode = 0;
    QString message; // help, version or error text for the terminal

    static CommandLine parse(const QStringList &arguments);
};
