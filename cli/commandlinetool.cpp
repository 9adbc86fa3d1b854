#include "commandlinetool.h"

#include "devicelink.h"
#include "deviceport.h"
#include "koruresources.h"
#include "portenumerator.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

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
    auto link = std::make_unique<Koru::DeviceLink>(new SerialDevicePort, enumerator);
    link->start();
    if (link->isOpen())
        return link;
    QTextStream err(stderr);
    err << QCoreApplication::applicationName() << ": ";
    if (link->devicePortName().isEmpty())
        err << "no remote controller found; name its port with --device PATH\n";
    else
        err << "cannot open " << link->devicePortName() << '\n';
    return nullptr;
}
