#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

CommandLine CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configuration and maintenance assistant for KORU radio-control devices."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption deviceOption(
        QStringLiteral("device"),
        QStringLiteral("Use PATH as the controller's serial port while it exists (for example a "
                       "pseudo-terminal, or a controller whose USB bridge reports another identity)."),
        QStringLiteral("PATH"));
    const QCommandLineOption demoOption(QStringLiteral("demo"),
                                        QStringLiteral("Start a simulated controller inside the program and "
                                                       "connect to it."));
    parser.addOption(deviceOption);
    parser.addOption(demoOption);

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.exitNow = true;
        result.exitCode = 1;
        result.message = parser.errorText() + QLatin1Char('\n');
        return result;
    }
    if (parser.isSet(helpOption) || parser.isSet(versionOption)) {
        result.exitNow = true;
        result.message = parser.isSet(helpOption)
                             ? parser.helpText()
                             : QCoreApplication::applicationName() + QLatin1Char(' ')
                                   + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.exitNow = true;
        result.exitCode = 1;
        result.message = QStringLiteral("Unexpected argument: %1\n").arg(parser.positionalArguments().first());
        return result;
    }
    result.devicePath = parser.value(deviceOption);
    result.demo = parser.isSet(demoOption);
    if (result.demo && !result.devicePath.isEmpty()) {
        result.exitNow = true;
        result.exitCode = 1;
        result.message = QStringLiteral("--demo and --device cannot be used together.\n");
    }
    return result;
}
