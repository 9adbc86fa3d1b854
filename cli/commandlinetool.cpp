#include "commandlinetool.h"

#include "devicelink.h"
#include "deviceport.h"
#include "koruresources.h"
#include "portenumerator.h"
#include "portproblem.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTextStream>

namespace {

// How long the frames still in the port's buffer may take to leave.
constexpr int FlushWithinMs = 2000;

// A problem line on standard error, after the program's name.
void problem(const QString &text)
{
    QTextStream(stderr) << QCoreApplication::applicationName() << ": " << text << '\n';
}

} // namespace

CommandLineTool::CommandLineTool(const QString &name)
    : portOption({QStringLiteral("device"), QStringLiteral("port")},
                 QStringLiteral("The remote controller's serial port (for example a pseudo-terminal of "
                                "koru-devsim); found by its USB identity 0483:5740 when not given."),
                 QStringLiteral("PATH"))
{
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setApplicationVersion(QStringLiteral(KORU_VERSION));
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    initKoruResources();
    if (english.load(QStringLiteral(":/en.qm")))
        QCoreApplication::installTranslator(&english);
}

std::unique_ptr<Koru::DeviceLink> CommandLineTool::openLink(const QString &path) const
{
    PortEnumerator *enumerator = new SystemPortEnumerator;
    if (!path.isEmpty())
        enumerator = new FixedPathEnumerator(enumerator, path);
    PortProblem reason;
    std::unique_ptr<Koru::DeviceLink> link = openLink(path, enumerator, &reason);
    if (!link)
        problem(reason.message);
    return link;
}

std::unique_ptr<Koru::DeviceLink> CommandLineTool::openLink(const QString &path, PortEnumerator *enumerator,
                                                            PortProblem *problem)
{
    std::unique_ptr<PortEnumerator> owned(enumerator);
    // A named port that is missing is no reason to take a controller found by its USB identity.
    if (!path.isEmpty() && !QFileInfo::exists(path)) {
        *problem = {QStringLiteral("no-device"), PortProblem::tr("%1 does not exist").arg(path)};
        return nullptr;
    }
    auto link = std::make_unique<Koru::DeviceLink>(new SerialDevicePort, owned.release());
    DevicePort::OpenError error = DevicePort::OpenError::None;
    QObject::connect(link.get(), &Koru::DeviceLink::openFailed, link.get(),
                     [&error](DevicePort::OpenError reason) { error = reason; });
    link->start();
    QObject::disconnect(link.get(), &Koru::DeviceLink::openFailed, link.get(), nullptr);
    if (link->isOpen())
        return link;
    if (link->devicePortName().isEmpty())
        *problem = {QStringLiteral("no-device"),
                    PortProblem::tr("no remote controller found; name its port with --device PATH")};
    else
        *problem = PortProblem::of(link->devicePortName(), error);
    return nullptr;
}

void CommandLineTool::flush(Koru::DeviceLink &link)
{
    if (!link.flush(FlushWithinMs))
        problem(QStringLiteral("not every frame left the port in time"));
}
