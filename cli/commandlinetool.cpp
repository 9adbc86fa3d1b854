#include "commandlinetool.h"

#include "devicelink.h"
#include "deviceport.h"
#include "koruresources.h"
#include "portenumerator.h"

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
    // A named port that is missing is no reason to take a controller found by its USB identity.
    if (!path.isEmpty() && !QFileInfo::exists(path)) {
        problem(path + QStringLiteral(" does not exist"));
        return nullptr;
    }
    PortEnumerator *enumerator = new SystemPortEnumerator;
    if (!path.isEmpty())
        enumerator = new FixedPathEnumerator(enumerator, path);
    auto link = std::make_unique<Koru::DeviceLink>(new SerialDevicePort, enumerator);
    link->start();
    if (link->isOpen())
        return link;
    if (link->devicePortName().isEmpty())
        problem(QStringLiteral("no remote controller found; name its port with --device PATH"));
    else
        problem(QStringLiteral("cannot open ") + link->devicePortName());
    return nullptr;
}

void CommandLineTool::flush(Koru::DeviceLink &link)
{
    if (!link.flush(FlushWithinMs))
        problem(QStringLiteral("not every frame left the port in time"));
}
