// koru-flash: writes a firmware or configuration file into a device behind the remote
// controller's serial port, with the same upgrade procedure as KORU Assistant, on one
// controller, on every one plugged in, or on each as it is plugged in; or lists the
// controllers and the devices that answer.

#include "commandlinetool.h"
#include "devicelink.h"
#include "devicelist.h"
#include "options.h"
#include "output.h"
#include "portproblem.h"
#include "portsources.h"
#include "recordfile.h"
#include "stopsignals.h"
#include "unitfarm.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTextStream>

using namespace Koru;

namespace {

// A run that ends before any unit started (or, with --list, before any device was asked):
// the message, or the JSON document with its lists empty.
int refuse(Output &output, const Verdict &verdict, bool list = false)
{
    if (output.isJson()) {
        QJsonObject document{{QStringLiteral("exitCode"), verdict.exitCode},
                             {QStringLiteral("error"), verdict.errorKey},
                             {QStringLiteral("message"), verdict.message}};
        const QStringList lists = list ? QStringList{QStringLiteral("controllers"), QStringLiteral("devices")}
                                       : QStringList{QStringLiteral("units")};
        for (const QString &key : lists)
            document.insert(key, QJsonArray());
        output.document(document);
    }
    output.problem(verdict.message);
    return verdict.exitCode;
}

int listDevices(const Request &request, Output &output)
{
    const PortSources sources{request.port, request.linkFolder};
    const std::unique_ptr<PortEnumerator> enumerator(sources.create());
    const QList<PortInfo> controllers = controllersOf(*enumerator);
    PortProblem problem;
    const std::unique_ptr<DeviceLink> link = CommandLineTool::openLink(request.port, sources.create(), &problem);
    if (!link)
        return refuse(output, {ExitNoDevice, problem.key, problem.message}, true);
    const int exitCode = listDevices(*link, controllers, output);
    CommandLineTool::flush(*link);
    return exitCode;
}

// The controllers to write: every one plugged in with --all, else the one a link would open
// (a --device path, or the last found).
QList<PortInfo> chosenControllers(const Request &request, const PortSources &sources, Verdict *problem)
{
    if (!request.port.isEmpty() && !QFileInfo::exists(request.port)) {
        *problem = {ExitNoDevice, QStringLiteral("no-device"), PortProblem::tr("%1 does not exist").arg(request.port)};
        return {};
    }
    const std::unique_ptr<PortEnumerator> enumerator(sources.create());
    QList<PortInfo> controllers = controllersOf(*enumerator);
    if (controllers.isEmpty()) {
        *problem = {ExitNoDevice, QStringLiteral("no-device"),
                    PortProblem::tr("no remote controller found; name its port with --device PATH")};
        return {};
    }
    if (request.all)
        return controllers;
    return {controllers.last()};
}

int flash(QCoreApplication &app, const Request &request, Output &output)
{
    UnitJob job;
    job.sources = {request.port, request.linkFolder};
    job.target = request.target;
    job.answerTimeoutMs = request.answerTimeoutMs;
    QString error;
    // Nothing is sent for an image that cannot be read whole or a record that cannot be written.
    if (!job.image.read(request.file, &error))
        return refuse(output, {ExitFileError, QStringLiteral("file"), error});
    RecordFile record;
    if (!request.recordPath.isEmpty() && !record.open(request.recordPath, &error))
        return refuse(output, {ExitFileError, QStringLiteral("record"), error});
    QList<PortInfo> controllers;
    if (!request.wait) {
        Verdict problem;
        controllers = chosenControllers(request, job.sources, &problem);
        if (controllers.isEmpty())
            return refuse(output, problem);
    }
    UnitFarm farm(job, output, record);
    QObject::connect(&farm, &UnitFarm::finished, &app, &QCoreApplication::exit);
    // The first SIGINT or SIGTERM stops every unit; a second one ends the program at once.
    handleStopSignals(
        &farm,
        [&farm, &output] {
            output.problem(FlashText::tr("stopping; press Ctrl-C again to quit at once"));
            farm.stop();
        },
        SignalRepeat::Once);
    if (request.wait)
        farm.runLine();
    else
        farm.runOnce(controllers);
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const CommandLineTool tool(QStringLiteral("koru-flash"));
    const Parsed parsed = parseCommandLine(QCoreApplication::arguments(), tool.portOption);
    Output output(parsed.json);
    if (!parsed.request) {
        if (parsed.problem.isEmpty())
            return parsed.exitCode;
        refuse(output, {parsed.exitCode, QStringLiteral("usage"), parsed.problem});
        if (!output.isJson())
            QTextStream(stderr) << "Try 'koru-flash --help' for more information.\n";
        return parsed.exitCode;
    }
    const Request &request = *parsed.request;
    return request.list ? listDevices(request, output) : flash(app, request, output);
}
