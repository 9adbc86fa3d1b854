#pragma once

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// koru-flash's exit status, listed in its --help.
enum FlashExit {
    ExitSuccess = 0,
    ExitUsage = 1,
    ExitNoDevice = 2,
    ExitFileError = 3,
    ExitRefused = 4,
    ExitNoAnswer = 5,
    ExitDeviceLost = 6,
    ExitStopped = 130,
};

// How long the device may take to answer the start of an upgrade unless the user says.
constexpr int DefaultAnswerTimeoutS = 10;

// What the command line asks for.
struct Request
{
    QString port;
    bool list = false;
    bool json = false;
    uint8_t target = 0;
    QString file;
    int answerTimeoutMs = DefaultAnswerTimeoutS * 1000;
};

struct Parsed
{
    std::optional<Request> request; // none: exit with exitCode after printing
    int exitCode = ExitSuccess;
};

// Reads koru-flash's command line. Help, version and mistakes are printed here; they leave
// no request, only the exit code.
Parsed parseCommandLine(const QStringList &arguments, const QCommandLineOption &deviceOption);
