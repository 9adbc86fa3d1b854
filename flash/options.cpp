#include "options.h"

#include "output.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

// Shown by --help, so also in the manual page; help2man makes the synopsis from the
// "Usage:" and "or:" lines.
const char UsageLines[] = "Usage: koru-flash [--device PATH] [--json] [--record FILE] --target ID FILE\n"
                          "  or:  koru-flash --all|--wait [--by-id DIR] [--json] [--record FILE] --target ID FILE\n"
                          "  or:  koru-flash [--device PATH] --list [--json]\n";

// Qt prints the description as it is: lines are broken here for an 80-column terminal.
const char Description[] =
    "Writes a firmware or configuration file into one device behind the KORU remote\n"
    "controller, with the same upgrade procedure as KORU Assistant, and restarts the\n"
    "device once it has confirmed the file. FILE - reads standard input. With --all,\n"
    "every controller plugged in at once; with --wait, each controller as it is plugged\n"
    "in, until Ctrl-C. With --list, shows the controllers and the devices that answer.\n"
    "\n"
    "Progress and results go to standard output (a bar on a terminal, one percentage per\n"
    "line otherwise), messages about problems to standard error. With --json, standard\n"
    "output is one JSON document with the exit code, an error key and the message.";

const char ExitStatus[] =
    "Exit status:\n"
    "  0    the device confirmed the file; with --list, devices answered\n"
    "  1    bad command line\n"
    "  2    no remote controller found, or its port cannot be opened (no permission,\n"
    "       in use by another program, vanished)\n"
    "  3    the file cannot be read, or the device cannot take a file that large\n"
    "  4    the device refused the file\n"
    "  5    the device did not answer in time; with --list, no device answered\n"
    "  6    the link to the device was lost\n"
    "  130  stopped by SIGINT (Ctrl-C) or SIGTERM\n"
    "With --all and --wait, the highest status of any unit.\n";

const char Examples[] =
    "Examples:\n"
    "  $ koru-flash --list\n"
    "  $ koru-flash --target 0x13 receiver.bin\n"
    "  $ koru-flash --all --record line.jsonl --target 0x10 controller.bin\n"
    "  $ koru-flash --wait --record line.jsonl --target 0x10 controller.bin\n";

constexpr double LongestAnswerTimeoutS = 3600;

// Decimal, or hexadecimal after "0x".
std::optional<uint8_t> parseDeviceId(const QString &text)
{
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    bool ok = false;
    const uint value = (hex ? text.mid(2) : text).toUInt(&ok, hex ? 16 : 10);
    if (!ok || value > 0xFF)
        return std::nullopt;
    return uint8_t(value);
}

Parsed usageError(const QString &problem)
{
    Parsed parsed;
    parsed.exitCode = ExitUsage;
    parsed.problem = problem;
    return parsed;
}

Parsed accepted(const Request &request)
{
    Parsed parsed;
    parsed.request = request;
    return parsed;
}

struct RequestOptions
{
    const QCommandLineOption &device, &target, &list, &json, &all, &wait, &record, &byId, &answerTimeout;
};

Parsed parseRequest(const QCommandLineParser &parser, const RequestOptions &options);

} // namespace

Parsed parseCommandLine(const QStringList &arguments, const QCommandLineOption &device)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption target(
        {QStringLiteral("target"), QStringLiteral("device-id")},
        QStringLiteral("The device to write FILE into, decimal or 0x hexadecimal, for example 0x10 "
                       "for the remote controller or 0x13 for the receiver; --list shows the ids. "
                       "Needed to write a file."),
        QStringLiteral("ID"));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("Show every device that answers: type, id, hardware id, "
                                                 "serial number, boot loader and firmware versions."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print the outcome, failures included, as one JSON document: "
                                                 "exitCode, error (a stable key), message, and the units or "
                                                 "the devices."));
    const QCommandLineOption all(QStringLiteral("all"),
                                 QStringLiteral("Write FILE into every controller plugged in, in parallel."));
    const QCommandLineOption wait(QStringLiteral("wait"),
                                  QStringLiteral("Line mode: wait for a controller, write FILE, wait for it to "
                                                 "be unplugged, and again, until Ctrl-C."));
    const QCommandLineOption record(QStringLiteral("record"),
                                    QStringLiteral("Append one JSON line per unit and attempt to FILE (see the "
                                                   "manual page)."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption byId(QStringLiteral("by-id"),
                                  QStringLiteral("Take the serial ports linked from DIR as the controllers, "
                                                 "with the USB serial number in each link's name, as "
                                                 "/dev/serial/by-id names them (koru-devsim --count makes "
                                                 "such a folder)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption answerTimeout(
        QStringLiteral("answer-timeout"),
        QStringLiteral("How long the device may take to answer the start of the upgrade, also "
                       "after restarting into its boot loader (default %1).")
            .arg(DefaultAnswerTimeoutS),
        QStringLiteral("SECONDS"));
    parser.addOptions({help, version, device, target, list, json, all, wait, record, byId, answerTimeout});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The firmware or configuration file."));

    const bool parsed = parser.parse(arguments);
    // Help and version win over errors, so that they work beside anything else.
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text = QString::fromLatin1(UsageLines) + text.mid(text.indexOf(QLatin1Char('\n')) + 1);
        QTextStream(stdout) << text << '\n' << ExitStatus << '\n' << Examples;
        return Parsed();
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' '
                            << QCoreApplication::applicationVersion() << '\n';
        return Parsed();
    }
    Parsed result = parsed ? parseRequest(parser, {device, target, list, json, all, wait, record, byId, answerTimeout})
                           : usageError(parser.errorText());
    // Known even when the rest is wrong, so that a script gets its JSON document.
    result.json = arguments.contains(QStringLiteral("--json"));
    return result;
}

namespace {

Parsed parseRequest(const QCommandLineParser &parser, const RequestOptions &options)
{
    const QCommandLineOption &device = options.device;
    const QCommandLineOption &target = options.target;
    const QCommandLineOption &answerTimeout = options.answerTimeout;
    Request request;
    request.port = parser.value(device);
    request.linkFolder = parser.value(options.byId);
    request.list = parser.isSet(options.list);
    request.json = parser.isSet(options.json);
    request.all = parser.isSet(options.all);
    request.wait = parser.isSet(options.wait);
    request.recordPath = parser.value(options.record);
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(answerTimeout)) {
        bool ok = false;
        const double seconds = parser.value(answerTimeout).toDouble(&ok);
        if (!ok || !(seconds > 0) || seconds > LongestAnswerTimeoutS)
            return usageError(FlashText::tr("bad time '%1' for --answer-timeout: give seconds above 0, at most %2")
                                  .arg(parser.value(answerTimeout))
                                  .arg(LongestAnswerTimeoutS));
        request.answerTimeoutMs = qMax(1, qRound(seconds * 1000));
    }
    if (request.all && request.wait)
        return usageError(FlashText::tr("--all and --wait cannot be used together"));
    if ((request.all || request.wait) && !request.port.isEmpty())
        return usageError(FlashText::tr("--device names one controller: it goes without --all and --wait"));
    if (request.list) {
        if (request.all || request.wait || !request.recordPath.isEmpty())
            return usageError(FlashText::tr("--list goes without --all, --wait and --record"));
        if (parser.isSet(target))
            return usageError(FlashText::tr("--list shows every device: it takes no --target"));
        if (!files.isEmpty())
            return usageError(FlashText::tr("--list takes no file: unexpected '%1'").arg(files.first()));
        return accepted(request);
    }
    if (files.isEmpty())
        return usageError(FlashText::tr("no file to write; give one, or --list"));
    if (files.size() > 1)
        return usageError(FlashText::tr("one file at a time: unexpected '%1'").arg(files.at(1)));
    request.file = files.first();
    if (!parser.isSet(target))
        return usageError(FlashText::tr("no device chosen: name it with --target ID "
                                   "(`koru-flash --list` shows the devices that answer)"));
    const std::optional<uint8_t> id = parseDeviceId(parser.value(target));
    if (!id)
        return usageError(FlashText::tr("bad device id '%1' for --target: give a number from 0 to 255, "
                                   "decimal or 0x hexadecimal")
                              .arg(parser.value(target)));
    request.target = *id;
    return accepted(request);
}

} // namespace
