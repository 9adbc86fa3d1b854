#include "applicationlook.h"
#include "commandline.h"
#include "devicelink.h"
#include "koruresources.h"
#include "loghandler.h"
#include "mainwindow.h"
#include "portsource.h"

#include <QApplication>
#include <QTranslator>

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int report(const CommandLine &options)
{
    std::fputs(qPrintable(options.message), options.exitCode == 0 ? stdout : stderr);
    return options.exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("koru-assistant"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.9"));

    // A core application is enough for help, version and unknown options, and needs no display.
    if (CommandLine::answersWithoutWindowSystem(argumentsOf(argc, argv))) {
        const QCoreApplication printer(argc, argv);
        return report(CommandLine::parseBeforeWindowSystem(QCoreApplication::arguments()));
    }

    // The live view sends many small repaints. Under X, each one through shared memory costs
    // a completion event and two thread wake-ups more than through the socket, about half
    // of the window's CPU time at 50 reports a second. A user's own choice stands.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv); // takes Qt's own options out of argv
    const CommandLine options = CommandLine::parse(QCoreApplication::arguments());
    if (options.exitNow)
        return report(options);

    initKoruResources();
    LogHandler::install();
    applyApplicationLook();

    QTranslator translator;
    QApplication::installTranslator(&translator);

    PortSource ports;
    if (!ports.start(options)) {
        std::fputs(qPrintable(ports.errorText() + QLatin1Char('\n')), stderr);
        return 1;
    }
    Koru::DeviceLink link(nullptr, ports.takeEnumerator());
    MainWindow window(link);
    window.setTranslator(&translator);
    window.applySavedLanguage();
    if (options.service)
        window.showServicePages();
    window.show();
    const int result = app.exec();
    LogHandler::uninstall();
    cleanupKoruResources();
    return result;
}
