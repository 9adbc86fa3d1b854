// koru-config: saves the remote controller's channel settings to a file, or loads a file
// into the controller and reads every channel back, as KORU Assistant's channel page does.

#include "channelsettingstransfer.h"
#include "commandlinetool.h"
#include "devicelink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

using namespace Koru;

namespace {

enum ExitCode {
    ExitSuccess = 0,
    ExitUsage = 1,
    ExitNoDevice = 2,
    ExitBadFile = 3,
    ExitNoAnswer = 4,
    ExitMismatch = 5,
};

const char Description[] =
    "Saves the channel settings of the remote controller (direction, mapping and source of its 16 "
    "channels) to a JSON file, or loads such a file into the controller and reads every channel "
    "back.\n\n"
    "Exit status:\n"
    "  0  saved completely, or loaded and every channel read back as in the file\n"
    "  1  bad command line\n"
    "  2  no remote controller, or its port cannot be opened\n"
    "  3  the file cannot be read, is no valid channel settings file, or cannot be written\n"
    "  4  some channels did not answer (a save then writes no file)\n"
    "  5  some channels read back other values than the file holds";

// No channel settings file comes near this size; a larger one is refused unread.
constexpr qint64 LargestSettingsFile = 1024 * 1024;

struct ConfigText
{
    Q_DECLARE_TR_FUNCTIONS(KoruConfig)
};

// Reads and checks the whole file to load, before anything is sent.
bool readSettings(const QString &path, ChannelSettings *settings)
{
    QString error;
    if (QFileInfo(path).size() > LargestSettingsFile)
        error = ConfigText::tr("The file is larger than 1 MiB; a channel settings file is far smaller.");
    else if (ChannelSettingsFile::read(path, settings, &error))
        return true;
    QTextStream(stderr) << "koru-config: " << error << '\n';
    return false;
}

int exitCodeOf(TransferOutcome outcome)
{
    switch (outcome) {
    case TransferOutcome::Succeeded:
        return ExitSuccess;
    case TransferOutcome::NoDevice:
        return ExitNoDevice;
    case TransferOutcome::FileError:
        return ExitBadFile;
    case TransferOutcome::NoAnswer:
        return ExitNoAnswer;
    case TransferOutcome::Mismatch:
        break;
    }
    return ExitMismatch;
}

struct Request
{
    bool save = false;
    QString file;
    QString port;
};

bool parseArguments(QCoreApplication &app, const QCommandLineOption &portOption, Request *request)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QLatin1String(Description));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(portOption);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("save: the controller's settings into the file; load: the "
                                                "file's settings into the controller."),
                                 QStringLiteral("save|load"));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The channel settings file."));
    parser.process(app);

    const QStringList arguments = parser.positionalArguments();
    const QString command = arguments.value(0);
    if (arguments.size() != 2 || (command != QLatin1String("save") && command != QLatin1String("load"))) {
        QTextStream(stderr) << parser.helpText();
        return false;
    }
    request->save = command == QLatin1String("save");
    request->file = arguments.at(1);
    request->port = parser.value(portOption);
    return true;
}

// Runs the save or load and returns its exit code once it finished.
int run(QCoreApplication &app, DeviceLink &link, const Request &request, const ChannelSettings &settings)
{
    ChannelSettingsTransfer transfer(link);
    QObject::connect(&transfer, &ChannelSettingsTransfer::finished, &app,
                     [&app](TransferOutcome outcome, const QString &report) {
                         if (outcome == TransferOutcome::Succeeded)
                             QTextStream(stdout) << report << '\n';
                         else
                             QTextStream(stderr) << "koru-config: " << report << '\n';
                         app.exit(exitCodeOf(outcome));
                     });
    // Started inside the event loop, so that a transfer finishing at once still ends it.
    QTimer::singleShot(0, &transfer, [&transfer, &request, &settings] {
        if (request.save)
            transfer.save(request.file);
        else
            transfer.load(settings);
    });
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const CommandLineTool tool(QStringLiteral("koru-config"));
    Request request;
    if (!parseArguments(app, tool.portOption, &request))
        return ExitUsage;
    // Opening the port asks every device who it is: a file to load is checked before.
    ChannelSettings settings;
    if (!request.save && !readSettings(request.file, &settings))
        return ExitBadFile;
    const std::unique_ptr<DeviceLink> link = tool.openLink(request.port);
    if (!link)
        return ExitNoDevice;
    const int code = run(app, *link, request, settings);
    CommandLineTool::flush(*link);
    return code;
}
