// koru-devsim: the simulated remote controller and the devices behind it, served on a
// pseudo-terminal that KORU Assistant (or any serial program) opens as its port.

#include "simulatorhost.h"
#include "stopsignals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

using namespace Koru;

namespace {

struct NumberKnob
{
    QCommandLineOption option;
    long long minimum;
    long long maximum;
    std::function<void(SimulatorOptions &, long long)> apply;
};

struct FlagKnob
{
    QCommandLineOption option;
    std::function<void(SimulatorOptions &)> apply;
};

QCommandLineOption valued(const QString &name, const QString &description, const QString &value)
{
    return QCommandLineOption(name, description, value);
}

std::vector<NumberKnob> numberKnobs()
{
    return {
        {valued("check-mode", "Check mode of the answers: 0, 4 or 8.", "mode"), 0, 8,
         [](SimulatorOptions &o, long long v) { o.checkMode = CheckMode(v); }},
        {valued("delay", "Processing delay per request in ms.", "ms"), 0, 60000,
         [](SimulatorOptions &o, long long v) { o.processingDelayMs = int(v); }},
        {valued("drop-ack", "Leave every n-th upgrade data packet unacknowledged.", "n"), 0, 1000000,
         [](SimulatorOptions &o, long long v) { o.dropEveryNthAck = int(v); }},
        {valued("refuse-start", "Refuse the upgrade start with this negative code.", "code"), -128, -1,
         [](SimulatorOptions &o, long long v) { o.refuseStartCode = int8_t(v); }},
        {valued("refuse-data", "Refuse every upgrade data packet with this negative code.", "code"), -128, -1,
         [](SimulatorOptions &o, long long v) { o.refuseDataCode = int8_t(v); }},
        {valued("refuse-end", "Refuse the upgrade end with this negative code.", "code"), -128, -1,
         [](SimulatorOptions &o, long long v) { o.refuseEndCode = int8_t(v); }},
        {valued("packet-size", "Upgrade packet size announced by the boot loaders (1-253).", "bytes"), 1, 253,
         [](SimulatorOptions &o, long long v) { o.packetSize = int(v); }},
        {valued("rate", "Live channel values per second (0-1000; 0: none).", "hz"), 0, 1000,
         [](SimulatorOptions &o, long long v) { o.liveValueRateHz = int(v); }},
        {valued("calibration-ms", "Time spent on the centre positions of a calibration.", "ms"), 0, 600000,
         [](SimulatorOptions &o, long long v) { o.calibrationCentreMs = int(v); }},
        {valued("restart-delay", "Time from the application-mode answer to the restart.", "ms"), 0, 60000,
         [](SimulatorOptions &o, long long v) { o.restartDelayMs = int(v); }},
        {valued("restart-downtime",
                "How long the restart takes: the controller's port stays away, a module answers "
                "nothing (from its application-mode answer on, --restart-delay included).", "ms"), 0, 600000,
         [](SimulatorOptions &o, long long v) { o.restartDowntimeMs = int(v); }},
        {valued("ignore-sets", "Take no set command for this channel (1-16).", "channel"), 1, 16,
         [](SimulatorOptions &o, long long v) { o.ignoreSetsOfChannel = int(v); }},
        {valued("silent-channel", "Never answer a query for this channel (1-16).", "channel"), 1, 16,
         [](SimulatorOptions &o, long long v) { o.silentChannel = int(v); }},
        {valued("seed", "Seed for pieces and noise (0: random).", "n"), 0, 0xFFFFFFFFLL,
         [](SimulatorOptions &o, long long v) { o.seed = quint32(v); }},
    };
}

std::vector<FlagKnob> flagKnobs()
{
    return {
        {QCommandLineOption("split", "Send answers in random pieces of 1 to 7 bytes."),
         [](SimulatorOptions &o) { o.splitOutput = true; }},
        {QCommandLineOption("noise", "Send random bytes (never 0xAA) between frames."),
         [](SimulatorOptions &o) { o.noise = true; }},
        {QCommandLineOption("repeat-acks", "Acknowledge every upgrade data packet three times, then the one before."),
         [](SimulatorOptions &o) { o.repeatAcks = true; }},
        {QCommandLineOption("stray-end-ack", "Answer the upgrade end first with an ack one past the last packet."),
         [](SimulatorOptions &o) { o.strayAckAtEnd = true; }},
        {QCommandLineOption("app-mode",
                            "Answer the first upgrade start with status 2, then restart into the boot "
                            "loader: the remote controller's port goes away and comes back, a module "
                            "answers nothing until its restart is over."),
         [](SimulatorOptions &o) { o.startInApplication = true; }},
        {QCommandLineOption("calibration-error", "Report the calibration error flag."),
         [](SimulatorOptions &o) { o.calibrationError = true; }},
    };
}

bool parseDevices(const QString &text, QVector<uint8_t> *ids)
{
    ids->clear();
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint value = item.trimmed().toUInt(&ok, 16);
        if (!ok || value > 0xFF)
            return false;
        ids->append(uint8_t(value));
    }
    return !ids->isEmpty();
}

// False, with a message, when the option is set to a value outside minimum..maximum.
bool readNumber(const QCommandLineParser &parser, const QCommandLineOption &option, long long minimum,
                long long maximum, long long *value)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    *value = parser.value(option).toLongLong(&ok, 0);
    if (ok && *value >= minimum && *value <= maximum)
        return true;
    QTextStream(stderr) << "koru-devsim: bad value for --" << option.names().constFirst() << ": "
                        << parser.value(option) << '\n';
    return false;
}

bool applyNumber(const QCommandLineParser &parser, const NumberKnob &knob, SimulatorOptions &options)
{
    long long value = 0;
    if (!readNumber(parser, knob.option, knob.minimum, knob.maximum, &value))
        return false;
    if (parser.isSet(knob.option))
        knob.apply(options, value);
    return true;
}

// Faults of the line itself rather than of the devices.
struct LineFaults
{
    QCommandLineOption hangUpEvery{QStringLiteral("hang-up-every"),
                                   QStringLiteral("Hang the line up every ms while its path stays, as a USB "
                                                  "reset does; a new port is behind the path after "
                                                  "--restart-downtime."),
                                   QStringLiteral("ms")};
    QCommandLineOption flap{QStringLiteral("flap"),
                            QStringLiteral("Let the port vanish and come back this many times a second, as "
                                           "a loose connector does, for --flap-for ms."),
                            QStringLiteral("hz")};
    QCommandLineOption flapFor{QStringLiteral("flap-for"), QStringLiteral("How long the port flaps (default 30000)."),
                               QStringLiteral("ms")};
    long long hangUpMs = 0;
    long long flapHz = 0;
    long long flapMs = 30000;

    void addTo(QCommandLineParser &parser) { parser.addOptions({hangUpEvery, flap, flapFor}); }
    bool read(const QCommandLineParser &parser)
    {
        return readNumber(parser, hangUpEvery, 1, 3600000, &hangUpMs) && readNumber(parser, flap, 1, 500, &flapHz)
               && readNumber(parser, flapFor, 1, 3600000, &flapMs);
    }
    void start(SimulatorHost &host) const
    {
        if (flapHz > 0)
            host.flap(int(flapHz), int(flapMs));
        if (hangUpMs <= 0)
            return;
        auto *hangUps = new QTimer(&host);
        QObject::connect(hangUps, &QTimer::timeout, &host,
                         [&host] { host.hangUp(host.simulator()->options().restartDowntimeMs); });
        hangUps->start(int(hangUpMs));
    }
};

void announce(SimulatorHost &host)
{
    QTextStream out(stdout);
    out << "port: " << host.slavePath() << '\n';
    if (host.portPath() != host.slavePath())
        out << "link: " << host.portPath() << '\n';
    out.flush();
}

void report(const QString &line)
{
    QTextStream out(stdout);
    out << line << '\n';
    out.flush();
}

// Several controllers at once, each on a pseudo-terminal of its own.
struct UnitOptions
{
    const QCommandLineOption count{QStringLiteral("count"),
                                   QStringLiteral("Serve this many remote controllers (1-64), each on a "
                                                  "pseudo-terminal of its own; needs --by-id."),
                                   QStringLiteral("n")};
    const QCommandLineOption byId{QStringLiteral("by-id"),
                                  QStringLiteral("Keep each controller's link in this folder, named as "
                                                 "/dev/serial/by-id names USB serial ports, with the "
                                                 "controller's USB serial number (KSIM0001, ...)."),
                                  QStringLiteral("dir")};
    const QCommandLineOption firstUnit{QStringLiteral("first-unit"),
                                       QStringLiteral("Number the controllers from n on (default 1), as "
                                                      "further units on a line."),
                                       QStringLiteral("n")};
    const QCommandLineOption faultyUnit{QStringLiteral("faulty-unit"),
                                        QStringLiteral("Give the behaviour options to controller n alone; "
                                                       "the others behave plainly."),
                                        QStringLiteral("n")};
};

constexpr int MostUnits = 64;

bool startUnits(const QCommandLineParser &parser, const UnitOptions &units, const SimulatorOptions &options,
                const QString &link, std::vector<std::unique_ptr<SimulatorHost>> *hosts)
{
    QTextStream err(stderr);
    bool ok = true;
    const int count = parser.isSet(units.count) ? parser.value(units.count).toInt(&ok) : 1;
    if (!ok || count < 1 || count > MostUnits || (parser.isSet(units.count) && !parser.isSet(units.byId))) {
        err << "koru-devsim: --count takes 1 to " << MostUnits << " and needs --by-id\n";
        return false;
    }
    const int first = parser.isSet(units.firstUnit) ? parser.value(units.firstUnit).toInt(&ok) : 1;
    if (!ok || first < 1 || first > 9999 - count) {
        err << "koru-devsim: bad value for --first-unit: " << parser.value(units.firstUnit) << '\n';
        return false;
    }
    const int faulty = parser.isSet(units.faultyUnit) ? parser.value(units.faultyUnit).toInt(&ok) : 0;
    if (!ok || (parser.isSet(units.faultyUnit) && (faulty < first || faulty >= first + count))) {
        err << "koru-devsim: --faulty-unit names none of the controllers served\n";
        return false;
    }
    const QDir folder(parser.value(units.byId));
    for (int unit = first; unit < first + count; ++unit) {
        auto host = std::make_unique<SimulatorHost>(faulty == 0 || unit == faulty ? options : SimulatorOptions());
        const QString path = parser.isSet(units.byId)
                                 ? folder.filePath(SimulatorHost::byIdLinkName(SimulatorHost::unitSerial(unit)))
                                 : link;
        if (!host->start(path)) {
            err << "koru-devsim: cannot open the port: " << host->errorString() << '\n';
            return false;
        }
        hosts->push_back(std::move(host));
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("koru-devsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated KORU remote controller and the devices behind it, served on a "
                       "pseudo-terminal until SIGINT or SIGTERM."));
    parser.addHelpOption();
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Keep a symbolic link at this path naming the port."),
                                  QStringLiteral("path"));
    const QCommandLineOption devicesOption(
        QStringLiteral("devices"),
        QStringLiteral("Answering device ids, hexadecimal, comma separated "
                       "(default 10,13,1E,2C,2E)."),
        QStringLiteral("ids"));
    parser.addOption(link);
    parser.addOption(devicesOption);
    const UnitOptions unitOptions;
    parser.addOption(unitOptions.count);
    parser.addOption(unitOptions.byId);
    parser.addOption(unitOptions.firstUnit);
    parser.addOption(unitOptions.faultyUnit);
    const std::vector<NumberKnob> numbers = numberKnobs();
    const std::vector<FlagKnob> flags = flagKnobs();
    for (const NumberKnob &knob : numbers)
        parser.addOption(knob.option);
    for (const FlagKnob &knob : flags)
        parser.addOption(knob.option);
    LineFaults lineFaults;
    lineFaults.addTo(parser);
    parser.process(app);
    if (!lineFaults.read(parser))
        return 2;

    SimulatorOptions options;
    for (const NumberKnob &knob : numbers) {
        if (!applyNumber(parser, knob, options))
            return 2;
    }
    for (const FlagKnob &knob : flags) {
        if (parser.isSet(knob.option))
            knob.apply(options);
    }
    if (options.checkMode != CheckPlain && options.checkMode != CheckNone && options.checkMode != CheckCrc) {
        QTextStream(stderr) << "koru-devsim: the check mode is 0, 4 or 8\n";
        return 2;
    }
    if (parser.isSet(devicesOption) && !parseDevices(parser.value(devicesOption), &options.deviceIds)) {
        QTextStream(stderr) << "koru-devsim: bad device list: " << parser.value(devicesOption) << '\n';
        return 2;
    }

    std::vector<std::unique_ptr<SimulatorHost>> hosts;
    if (!startUnits(parser, unitOptions, options, parser.value(link), &hosts))
        return parser.isSet(unitOptions.count) ? 2 : 1;
    // SIGINT and SIGTERM end the event loop.
    if (!handleStopSignals(&app, &QCoreApplication::quit, SignalRepeat::Every)) {
        QTextStream(stderr) << "koru-devsim: cannot watch SIGINT and SIGTERM\n";
        return 1;
    }
    for (const auto &unit : hosts) {
        SimulatorHost &host = *unit;
        announce(host);
        lineFaults.start(host);
        QObject::connect(&host, &SimulatorHost::vanished, &app, [] { report(QStringLiteral("port gone")); });
        QObject::connect(&host, &SimulatorHost::reappeared, &app, [&host] { announce(host); });
        QObject::connect(host.simulator(), &DeviceSimulator::upgradeCompleted, &app,
                         [](uint8_t deviceId, const QByteArray &image) {
                             report(QStringLiteral("device 0x%1: upgrade completed, %2 bytes")
                                        .arg(deviceId, 2, 16, QLatin1Char('0'))
                                        .arg(image.size()));
                         });
    }
    return app.exec();
}
