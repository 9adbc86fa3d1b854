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
    QString linkFolder; // --by-id
    bool list = false;
    bool json = false;
    bool all = false;
    bool wait = false;
    QString recordPath;
    uint8_t target = 0;
    QString file; // "-": standard input
    int answerTimeoutMs = DefaultAnswerTimeoutS * 1000;
};

struct Parsed
{
    std::optional<Request> request; // none: exit with exitCode
    int exitCode = ExitSuccess;
    QString problem; // a mistake on the command line, for the caller to report
    bool json = false;
};

// Reads koru-flash's command line. Help and version are printed here; they and mistakes
// leave no request.
Parsed parseCommandLine(const QStringList &arguments, const QCommandLineOption &deviceOption);
