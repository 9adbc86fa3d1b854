// koru-flash: writes a firmware or configuration file into one device behind the remote
// controller's serial port, with the same upgrade procedure as KORU Assistant.

#include "commandlinetool.h"
#include "devicelink.h"
#include "protocolids.h"
#include "upgradesession.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

using namespace Koru;

namespace {

enum ExitCode {
    ExitSuccess = 0,
    ExitUsage = 1,
    ExitNoDevice = 2,
    ExitFileError = 3,
    ExitRefused = 4,
    ExitTimedOut = 5,
    ExitDeviceLost = 6,
};

int exitCodeOf(UpgradeOutcome outcome)
{
    switch (outcome) {
    case UpgradeOutcome::Succeeded:
        return ExitSuccess;
    case UpgradeOutcome::FileError:
        return ExitFileError;
    case UpgradeOutcome::TimedOut:
        return ExitTimedOut;
    case UpgradeOutcome::Restarting:
    case UpgradeOutcome::SendFailed:
    case UpgradeOutcome::DeviceLost:
        return ExitDeviceLost;
    case UpgradeOutcome::Busy:
    case UpgradeOutcome::Refused:
    case UpgradeOutcome::NotCarriable:
    case UpgradeOutcome::NoPacketSize:
    case UpgradeOutcome::Stopped:
        break;
    }
    return ExitRefused;
}

// How long a controller that restarts into its boot loader may take to come back.
constexpr int RestartWithinMs = 25000;

// Decimal, or hexadecimal after "0x".
bool parseDeviceId(const QString &text, uint8_t *id)
{
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    bool ok = false;
    const uint value = (hex ? text.mid(2) : text).toUInt(&ok, hex ? 16 : 10);
    *id = uint8_t(value);
    return ok && value <= 0xFF;
}

// A bar redrawn in place on a terminal; one line per new percentage otherwise.
class ProgressPrinter
{
public:
    explicit ProgressPrinter(bool terminal) : terminal(terminal) {}

    void show(int percent)
    {
        if (percent == shown)
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

    void message(const QString &text)
    {
        if (midLine)
            out << '\n';
        midLine = false;
        out << text << '\n' << Qt::flush;
    }

private:
    QTextStream out{stdout};
    bool terminal;
    bool midLine = false;
    int shown = -1;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const CommandLineTool tool(QStringLiteral("koru-flash"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a firmware or configuration file into a device reached through the remote "
        "controller's USB serial port. Exits with 0 only when the device confirmed the file."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption idOption(
        {QStringLiteral("device-id"), QStringLiteral("target")},
        QStringLiteral("Device to upgrade, decimal or 0x hex (default 0x10, the remote controller)."),
        QStringLiteral("id"), QStringLiteral("0x10"));
    parser.addOptions({tool.portOption, idOption});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The file to send."));
    parser.process(app);

    QTextStream err(stderr);
    uint8_t deviceId = RemoteControllerId;
    if (parser.positionalArguments().size() != 1 || !parseDeviceId(parser.value(idOption), &deviceId)) {
        err << parser.helpText();
        return ExitUsage;
    }
    const std::unique_ptr<DeviceLink> link = tool.openLink(parser.value(tool.portOption), QStringLiteral("--port"));
    if (!link)
        return ExitNoDevice;
    ProgressPrinter printer(isatty(fileno(stdout)) != 0);
    UpgradeSession &upgrade = link->upgrade();
    QObject::connect(&upgrade, &UpgradeSession::progress, &upgrade, [&printer](int, int maximum, int value) {
        printer.show(maximum > 0 ? value * 100 / maximum : 0);
    });
    QObject::connect(&upgrade, &UpgradeSession::message, &upgrade,
                     [&printer](int, const QString &text) { printer.message(text); });
    return exitCodeOf(upgrade.startAndWait(parser.positionalArguments().constFirst(), deviceId, 0, RestartWithinMs));
}
