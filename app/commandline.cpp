#include "commandline.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace {

// A parser that knows our options. Single-dash words are read as long options, as Qt reads
// its own: "-reverse" must not turn into "-r -e -v ..." and ask for the version.
struct OptionParser
{
    OptionParser();
    QString unknownOption() const;

    QCommandLineParser parser;
    const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                                  CommandLine::tr("Displays help on commandline options.")};
    const QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                                     CommandLine::tr("Displays version information.")};
    const QCommandLineOption device{
        QStringLiteral("device"),
        CommandLine::tr("Use PATH as the controller's serial port while it exists (for example a "
                        "pseudo-terminal, or a controller whose USB bridge reports another identity)."),
        QStringLiteral("PATH")};
    const QCommandLineOption demo{QStringLiteral("demo"),
                                  CommandLine::tr("Start a simulated controller inside the program and "
                                                  "connect to it.")};
    const QCommandLineOption service{QStringLiteral("service"),
                                     CommandLine::tr("Also show the page buttons of the device console (Fix) "
                                                     "and the production page (produce), for service "
                                                     "technicians.")};
};

OptionParser::OptionParser()
{
    parser.setApplicationDescription(
        CommandLine::tr("Configuration and maintenance assistant for KORU radio-control devices.\n"
                        "Qt's own options are accepted as well, for example -platform NAME,\n"
                        "-style NAME, -reverse, and on X11 -display DISPLAY and -name NAME."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({help, version, device, demo, service});
}

// An option of the last parse that neither we nor Qt know; empty when there is none.
QString OptionParser::unknownOption() const
{
    // The options QGuiApplication and QApplication take out of the arguments.
    static const QStringList qtOptions{
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
        "qwindowtitle", "reverse", "session", "display", "name", "geometry", "title", "style", "stylesheet",
        "widgetcount", "qmljsdebugger", "nograb", "dograb", "sync", "visual", "ncols", "cmap", "testability"};
    for (const QString &name : parser.unknownOptionNames()) {
        if (!qtOptions.contains(name))
            return name;
    }
    return {};
}

CommandLine finished(const QString &message)
{
    CommandLine result;
    result.exitNow = true;
    result.message = message;
    return result;
}

CommandLine failed(const QString &error)
{
    CommandLine result = finished(QCoreApplication::applicationName() + QStringLiteral(": ") + error
                                  + QLatin1Char('\n'));
    result.exitCode = 1;
    return result;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    OptionParser options;
    const bool parsed = options.parser.parse(arguments);
    // Help and version win over errors, so that they work beside anything else.
    if (options.parser.isSet(options.help))
        return finished(options.parser.helpText());
    if (options.parser.isSet(options.version))
        return finished(QCoreApplication::applicationName() + QLatin1Char(' ')
                        + QCoreApplication::applicationVersion() + QLatin1Char('\n'));
    if (!parsed)
        return failed(options.parser.errorText());
    const QStringList positional = options.parser.positionalArguments();
    if (!positional.isEmpty())
        return failed(tr("Unexpected argument: %1").arg(positional.first()));
    if (options.parser.isSet(options.demo) && options.parser.isSet(options.device))
        return failed(tr("--demo and --device cannot be used together."));

    CommandLine result;
    result.devicePath = options.parser.value(options.device);
    result.demo = options.parser.isSet(options.demo);
    result.service = options.parser.isSet(options.service);
    return result;
}

bool CommandLine::answersWithoutWindowSystem(const QStringList &arguments)
{
    OptionParser options;
    options.parser.parse(arguments);
    return options.parser.isSet(options.help) || options.parser.isSet(options.version)
           || !options.unknownOption().isEmpty();
}

CommandLine CommandLine::parseBeforeWindowSystem(const QStringList &arguments)
{
    OptionParser options;
    options.parser.parse(arguments);
    const QString unknown = options.unknownOption();
    if (unknown.isEmpty() || options.parser.isSet(options.help) || options.parser.isSet(options.version))
        return parse(arguments);
    return failed(QCoreApplication::translate("QCommandLineParser", "Unknown option '%1'.").arg(unknown));
}
