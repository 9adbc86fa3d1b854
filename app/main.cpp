#include "commandline.h"
#include "demolink.h"
#include "koruresources.h"
#include "loghandler.h"
#include "mainwindow.h"

#include <QApplication>
#include <QFile>
#include <QTranslator>

#include <cstdio>

namespace {

QString readStyleSheet()
{
    QFile file(QStringLiteral(":/kestanqss.qss"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromUtf8(bytes);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("koru-assistant"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.9"));

    // Read before the application object exists, so --help and --version work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine options = CommandLine::parse(arguments);
    if (options.exitNow) {
        std::fputs(qPrintable(options.message), options.exitCode == 0 ? stdout : stderr);
        return options.exitCode;
    }

    QApplication app(argc, argv);
    initKoruResources();
    LogHandler::install();
    app.setStyleSheet(readStyleSheet());

    QTranslator translator;
    QApplication::installTranslator(&translator);

    DemoLink link;
    if (!link.start(options)) {
        std::fputs(qPrintable(link.errorText() + QLatin1Char('\n')), stderr);
        return 1;
    }
    MainWindow window(nullptr, link.takeEnumerator());
    window.setTranslator(&translator);
    window.applySavedLanguage();
    window.show();
    const int result = app.exec();
    LogHandler::uninstall();
    cleanupKoruResources();
    return result;
}
