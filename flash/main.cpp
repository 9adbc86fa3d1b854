// koru-flash: writes a firmware or configuration file into one device behind the remote
// controller's serial port, with the same upgrade procedure as KORU Assistant, or lists the
// devices that answer.

#include "devicelink.h"
#include "deviceport.h"
#include "devicetypes.h"
#include "frame.h"
#include "koruresources.h"
#include "portenumerator.h"
#include "protocolids.h"
#include "upgradesession.h"
#include "versiontext.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

using namespace Koru;

namespace {

// The program's own messages, translated in the context "KoruFlash".
struct Text
{
    Q_DECLARE_TR_FUNCTIONS(KoruFlash)
};

enum ExitCode {
    ExitSuccess = 0,
    ExitUsage = 1,
    ExitNoDevice = 2,
    ExitFileError = 3,
    ExitRefused = 4,
    ExitNoAnswer = 5,
    ExitDeviceLost = 6,
    ExitStopped = 130,
};

// Shown by --help, so also in the manual page; help2man makes the synopsis from the
// "Usage:" and "or:" lines.
const char UsageLines[] = "Usage: koru-flash [--device PATH] --target ID FILE\n"
                          "  or:  koru-flash [--device PATH] --list [--json]\n";

// Qt prints the description as it is: lines are broken here for an 80-column terminal.
const char Description[] =
    "Writes a firmware or configuration file into one device behind the KORU remote\n"
    "controller, with the same upgrade procedure as KORU Assistant, and restarts the\n"
    "device once it has confirmed the file. With --list, shows the devices that answer.\n"
    "\n"
    "Progress and results go to standard output (a bar on a terminal, one percentage per\n"
    "line otherwise), messages about problems to standard error.";

const char ExitStatus[] =
    "Exit status:\n"
    "  0    the device confirmed the file; with --list, devices answered\n"
    "  1    bad command line\n"
    "  2    no remote controller found, or its port cannot be opened\n"
    "  3    the file cannot be read, or the device cannot take a file that large\n"
    "  4    the device refused the file\n"
    "  5    the device did not answer in time; with --list, no device answered\n"
    "  6    the link to the device was lost\n"
    "  130  stopped by SIGINT (Ctrl-C) or SIGTERM\n";

const char Examples[] =
    "Examples:\n"
    "  $ koru-flash --list\n"
    "  $ koru-flash --target 0x13 receiver.bin\n";

// How long a controller that restarts into its boot loader may take to come back.
constexpr int RestartWithinMs = 25000;
constexpr int DefaultAnswerTimeoutS = 10;
constexpr double LongestAnswerTimeoutS = 3600;
// Frames still in the port's buffer get this long to leave before the program ends.
constexpr int FlushWithinMs = 2000;
// --list waits at least the shortest time and at most the longest; in between it ends once
// no answer came for the quiet time.
constexpr int ListShortestMs = 1000;
constexpr int ListQuietMs = 300;
constexpr int ListLongestMs = 2000;

constexpr int FirmwareVersionAt = 0;
constexpr int BootVersionAt = 4;
constexpr int HardwareIdAt = 8;
constexpr int HardwareIdSize = 12;
constexpr int SerialNumberSize = 8;

QString hexId(uint8_t id)
{
    return QStringLiteral("0x") + QString::number(id, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

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

// Text a device reported, made safe for a terminal.
QString printable(QString text)
{
    for (QChar &c : text) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    return text;
}

// Standard output for progress and results, standard error for problems. A bar is redrawn
// in place on a terminal; otherwise each new percentage is a line of its own.
class Output
{
public:
    Output() : terminal(isatty(fileno(stdout)) != 0) {}

    void progress(int percent)
    {
        if (percent == shown || frozen)
            return;
        shown = percent;
        if (!terminal) {
            out << percent << "%\n" << Qt::flush;
            return;
        }
        constexpr int Width = 40;
        const int filled = percent * Width / 100;
        out << "\r[" << QString(filled, QLatin1Char('#')) << QString(Width - filled, QLatin1Char('.'))
            << "] " << qSetFieldWidth(3) << percent << qSetFieldWidth(0) << '%' << Qt::flush;
        midLine = true;
    }

    void line(const QString &text)
    {
        endBar();
        out << text << '\n' << Qt::flush;
    }

    void problem(const QString &text)
    {
        endBar();
        err << QCoreApplication::applicationName() << ": " << text << '\n' << Qt::flush;
    }

    void text(const QString &text) { out << text << Qt::flush; }
    // A stopped run shows the progress it made, not the zero the window's bar returns to.
    void freezeProgress() { frozen = true; }

private:
    void endBar()
    {
        if (midLine)
            out << '\n' << Qt::flush;
        midLine = false;
    }

    QTextStream out{stdout};
    QTextStream err{stderr};
    bool terminal;
    bool midLine = false;
    bool frozen = false;
    int shown = -1;
};

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

Parsed usageError(const QString &problem)
{
    Output().problem(problem);
    QTextStream(stderr) << "Try 'koru-flash --help' for more information.\n";
    return {std::nullopt, ExitUsage};
}

Parsed parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption device(
        {QStringLiteral("device"), QStringLiteral("port")},
        QStringLiteral("The remote controller's serial port (for example a pseudo-terminal of "
                       "koru-devsim); found by its USB identity 0483:5740 when not given."),
        QStringLiteral("PATH"));
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
                                  QStringLiteral("With --list, print the devices as a JSON array."));
    const QCommandLineOption answerTimeout(
        QStringLiteral("answer-timeout"),
        QStringLiteral("How long the device may take to answer the start of the upgrade, also "
                       "after restarting into its boot loader (default %1).")
            .arg(DefaultAnswerTimeoutS),
        QStringLiteral("SECONDS"));
    parser.addOptions({help, version, device, target, list, json, answerTimeout});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The firmware or configuration file."));

    const bool parsed = parser.parse(arguments);
    // Help and version win over errors, so that they work beside anything else.
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text = QString::fromLatin1(UsageLines) + text.mid(text.indexOf(QLatin1Char('\n')) + 1);
        QTextStream(stdout) << text << '\n' << ExitStatus << '\n' << Examples;
        return {std::nullopt, ExitSuccess};
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' '
                            << QCoreApplication::applicationVersion() << '\n';
        return {std::nullopt, ExitSuccess};
    }
    if (!parsed)
        return usageError(parser.errorText());

    Request request;
    request.port = parser.value(device);
    request.list = parser.isSet(list);
    request.json = parser.isSet(json);
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(answerTimeout)) {
        bool ok = false;
        const double seconds = parser.value(answerTimeout).toDouble(&ok);
        if (!ok || !(seconds > 0) || seconds > LongestAnswerTimeoutS)
            return usageError(Text::tr("bad time '%1' for --answer-timeout: give seconds above 0, at most %2")
                                  .arg(parser.value(answerTimeout))
                                  .arg(LongestAnswerTimeoutS));
        request.answerTimeoutMs = qMax(1, qRound(seconds * 1000));
    }
    if (request.list) {
        if (parser.isSet(target))
            return usageError(Text::tr("--list shows every device: it takes no --target"));
        if (!files.isEmpty())
            return usageError(Text::tr("--list takes no file: unexpected '%1'").arg(files.first()));
        return {request, ExitSuccess};
    }
    if (request.json)
        return usageError(Text::tr("--json goes with --list"));
    if (files.isEmpty())
        return usageError(Text::tr("no file to write; give one, or --list"));
    if (files.size() > 1)
        return usageError(Text::tr("one file at a time: unexpected '%1'").arg(files.at(1)));
    request.file = files.first();
    if (!parser.isSet(target))
        return usageError(Text::tr("no device chosen: name it with --target ID "
                                   "(`koru-flash --list` shows the devices that answer)"));
    const std::optional<uint8_t> id = parseDeviceId(parser.value(target));
    if (!id)
        return usageError(Text::tr("bad device id '%1' for --target: give a number from 0 to 255, "
                                   "decimal or 0x hexadecimal")
                              .arg(parser.value(target)));
    request.target = *id;
    return {request, ExitSuccess};
}

int exitCodeOf(UpgradeOutcome outcome)
{
    switch (outcome) {
    case UpgradeOutcome::Succeeded:
        return ExitSuccess;
    case UpgradeOutcome::FileError:
    case UpgradeOutcome::NotCarriable:
        return ExitFileError;
    case UpgradeOutcome::NoAnswer:
    case UpgradeOutcome::TimedOut:
        return ExitNoAnswer;
    case UpgradeOutcome::Restarting:
    case UpgradeOutcome::SendFailed:
    case UpgradeOutcome::DeviceLost:
        return ExitDeviceLost;
    case UpgradeOutcome::Stopped:
        return ExitStopped;
    case UpgradeOutcome::Busy:
    case UpgradeOutcome::Refused:
    case UpgradeOutcome::NoPacketSize:
        break;
    }
    return ExitRefused;
}

// One device's answers to the identity and version poll.
struct DeviceInfo
{
    bool hasVersion = false;
    bool hasUid = false;
    uint8_t version[sizeof DeviceState::deviceVersion] = {};
    uint8_t uid[sizeof DeviceState::deviceUid] = {};

    QString hardwareId() const
    {
        if (!hasVersion)
            return {};
        const char *text = reinterpret_cast<const char *>(version + HardwareIdAt);
        return printable(QString::fromLatin1(text, int(qstrnlen(text, HardwareIdSize))));
    }
    QString serialNumber() const
    {
        if (!hasUid)
            return {};
        const QByteArray bytes(reinterpret_cast<const char *>(uid), SerialNumberSize);
        return QString::fromLatin1(bytes.left(4).toHex().toUpper() + ' ' + bytes.mid(4).toHex().toUpper());
    }
    QString bootLoaderVersion() const { return versionAt(BootVersionAt); }
    QString firmwareVersion() const { return versionAt(FirmwareVersionAt); }
    QString versionAt(int offset) const { return hasVersion ? versionText(readU32(version + offset)) : QString(); }
};

// The devices that answer the poll DeviceLink sends when it opens the port.
std::map<uint8_t, DeviceInfo> collectDevices(DeviceLink &link)
{
    std::map<uint8_t, DeviceInfo> devices;
    QElapsedTimer clock;
    clock.start();
    qint64 lastAnswerMs = -1;
    QObject::connect(&link, &DeviceLink::responseReceived, &link, [&](const DecodedResponse &response) {
        const DeviceState &state = link.state();
        if (response.kind == Response::DeviceVersion) {
            DeviceInfo &device = devices[response.source];
            std::memcpy(device.version, state.deviceVersion, sizeof device.version);
            device.hasVersion = true;
        } else if (response.kind == Response::DeviceUid) {
            DeviceInfo &device = devices[response.source];
            std::memcpy(device.uid, state.deviceUid, sizeof device.uid);
            device.hasUid = true;
        } else {
            return;
        }
        lastAnswerMs = clock.elapsed();
    });
    // Bounds each blocking wait for events, so the clock is looked at often.
    QTimer tick;
    tick.start(10);
    for (;;) {
        const qint64 now = clock.elapsed();
        const bool quiet = lastAnswerMs >= 0 && now >= ListShortestMs && now - lastAnswerMs >= ListQuietMs;
        if (quiet || now >= ListLongestMs)
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    QObject::disconnect(&link, &DeviceLink::responseReceived, &link, nullptr);
    return devices;
}

QJsonValue jsonText(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

void printJson(Output &output, const std::map<uint8_t, DeviceInfo> &devices)
{
    QJsonArray array;
    for (const auto &entry : devices) {
        const DeviceInfo &device = entry.second;
        QJsonObject object;
        object.insert(QStringLiteral("id"), int(entry.first));
        object.insert(QStringLiteral("type"), deviceTypeName(entry.first));
        object.insert(QStringLiteral("hardwareId"), jsonText(device.hardwareId()));
        object.insert(QStringLiteral("serialNumber"), jsonText(device.serialNumber()));
        object.insert(QStringLiteral("bootLoaderVersion"), jsonText(device.bootLoaderVersion()));
        object.insert(QStringLiteral("firmwareVersion"), jsonText(device.firmwareVersion()));
        array.append(object);
    }
    output.text(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
}

void printTable(Output &output, const std::map<uint8_t, DeviceInfo> &devices)
{
    QVector<QStringList> rows;
    rows.append({Text::tr("TYPE"), Text::tr("ID"), Text::tr("HARDWARE ID"), Text::tr("SERIAL NUMBER"),
                 Text::tr("BOOT LOADER"), Text::tr("FIRMWARE")});
    const auto orDash = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    for (const auto &entry : devices) {
        const DeviceInfo &device = entry.second;
        rows.append({deviceTypeName(entry.first), hexId(entry.first), orDash(device.hardwareId()),
                     orDash(device.serialNumber()), orDash(device.bootLoaderVersion()),
                     orDash(device.firmwareVersion())});
    }
    QVector<int> widths(rows.first().size(), 0);
    for (const QStringList &row : rows) {
        for (int column = 0; column < row.size(); ++column)
            widths[column] = qMax(widths[column], row[column].size());
    }
    for (const QStringList &row : rows) {
        QString line;
        for (int column = 0; column < row.size(); ++column) {
            const bool last = column == row.size() - 1;
            line += last ? row[column] : row[column].leftJustified(widths[column] + 2);
        }
        output.line(line);
    }
}

int listDevices(DeviceLink &link, const Request &request, Output &output)
{
    const std::map<uint8_t, DeviceInfo> devices = collectDevices(link);
    if (request.json)
        printJson(output, devices);
    else if (!devices.empty())
        printTable(output, devices);
    if (devices.empty()) {
        output.problem(Text::tr("no device answered on %1").arg(link.portName()));
        return ExitNoAnswer;
    }
    return ExitSuccess;
}

// SIGINT and SIGTERM reach the event loop through a socket pair, the one thing a signal
// handler may safely touch.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

void setSignalHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

// The first SIGINT or SIGTERM stops a transfer after the packet on its way, as the window's
// stop button does; before the transfer (waiting for the device) the program ends at once.
// A second signal ends it the usual way.
void stopOnSignals(DeviceLink &link, Output &output)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &link);
    QObject::connect(notifier, &QSocketNotifier::activated, &link, [&link, &output, notifier] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(signalPipe[1], &byte, 1);
        notifier->setEnabled(false);
        setSignalHandler(SIG_DFL);
        UpgradeSession &upgrade = link.upgrade();
        if (upgrade.isRunning() && upgrade.isFlagSet()) {
            output.problem(Text::tr("stopping after the current packet; press Ctrl-C again to quit at once"));
            output.freezeProgress();
            upgrade.requestStop();
            return;
        }
        // Inside the upgrade's waits, which cannot be left from here.
        link.flush(FlushWithinMs);
        output.problem(Text::tr("stopped"));
        ::_exit(ExitStopped);
    });
    setSignalHandler(onSignal);
}

int writeFile(DeviceLink &link, const Request &request, Output &output)
{
    UpgradeSession &upgrade = link.upgrade();
    UpgradeTimings timings;
    timings.start.giveUpMs = request.answerTimeoutMs;
    timings.restart.giveUpMs = request.answerTimeoutMs;
    upgrade.setTimings(timings);
    QString ending;
    QObject::connect(&upgrade, &UpgradeSession::progress, &upgrade, [&output](int, int maximum, int value) {
        output.progress(maximum > 0 ? value * 100 / maximum : 0);
    });
    QObject::connect(&upgrade, &UpgradeSession::message, &upgrade,
                     [&output, &ending](int, const QString &text, bool ends) {
                         if (ends)
                             ending = text;
                         else
                             output.line(text);
                     });
    // The controller's restart ends the first run; startAndWait() waits for the resumed one.
    QObject::connect(&upgrade, &UpgradeSession::finished, &upgrade, [&output](int, UpgradeOutcome outcome) {
        if (outcome == UpgradeOutcome::Restarting)
            output.line(Text::tr("The remote controller is restarting into its boot loader"));
    });
    stopOnSignals(link, output);

    const UpgradeOutcome outcome = upgrade.startAndWait(request.file, request.target, 0, RestartWithinMs);
    link.flush(FlushWithinMs);
    switch (outcome) {
    case UpgradeOutcome::Succeeded:
        output.line(ending);
        break;
    case UpgradeOutcome::NoAnswer:
        output.problem(Text::tr("device %1 did not answer; `koru-flash --list` shows the devices that do")
                           .arg(hexId(request.target)));
        break;
    case UpgradeOutcome::Stopped:
        output.problem(Text::tr("stopped before the end: the device did not receive the whole file"));
        break;
    case UpgradeOutcome::Restarting:
    case UpgradeOutcome::SendFailed:
    case UpgradeOutcome::DeviceLost:
        output.problem(Text::tr("the link to the device was lost"));
        break;
    default:
        output.problem(ending.isEmpty() ? Text::tr("the upgrade failed") : ending);
        break;
    }
    return exitCodeOf(outcome);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("koru-flash"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KORU_VERSION));
    // The procedure's own diagnostics are for the window's log, not for this output.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    initKoruResources();
    QTranslator english;
    if (english.load(QStringLiteral(":/en.qm")))
        QCoreApplication::installTranslator(&english);

    const Parsed parsed = parseCommandLine(QCoreApplication::arguments());
    if (!parsed.request)
        return parsed.exitCode;
    const Request &request = *parsed.request;
    Output output;

    // Nothing is sent for a file that cannot be read.
    if (!request.list) {
        QFile file(request.file);
        if (!file.open(QIODevice::ReadOnly)) {
            output.problem(Text::tr("cannot read %1: %2").arg(request.file, file.errorString()));
            return ExitFileError;
        }
    }
    if (!request.port.isEmpty() && !QFileInfo::exists(request.port)) {
        output.problem(Text::tr("%1 does not exist").arg(request.port));
        return ExitNoDevice;
    }
    PortEnumerator *enumerator = new SystemPortEnumerator;
    if (!request.port.isEmpty())
        enumerator = new FixedPathEnumerator(enumerator, request.port);
    DeviceLink link(new SerialDevicePort, enumerator);
    // Opening the port asks every device for its identity and version.
    link.start();
    if (!link.isOpen()) {
        if (link.devicePortName().isEmpty())
            output.problem(Text::tr("no remote controller found; name its port with --device PATH"));
        else
            output.problem(Text::tr("cannot open %1").arg(link.devicePortName()));
        return ExitNoDevice;
    }
    const int exitCode = request.list ? listDevices(link, request, output) : writeFile(link, request, output);
    link.flush(FlushWithinMs);
    return exitCode;
}
