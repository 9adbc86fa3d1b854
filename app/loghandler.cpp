#include "loghandler.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <cstdlib>

namespace {

QFile *logFile = nullptr;
QMutex logMutex;

QString levelText(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("Debug: ");
    case QtWarningMsg:
        return QStringLiteral("Error: ");
    case QtCriticalMsg:
        return QStringLiteral("Critical Error: ");
    case QtFatalMsg:
        return QStringLiteral("Fatal Error: ");
    default:
        return QStringLiteral("Unknow Msg Type : ");
    }
}

void writeMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg)
        std::abort();
    QMutexLocker locker(&logMutex);
    if (!logFile)
        return;
    logFile->write(LogHandler::formatLine(type, context, message).toUtf8());
    logFile->flush();
}

void rotate(const QString &fileName)
{
    if (QFileInfo(fileName).size() <= LogHandler::MaxLogSize)
        return;
    const QString previous = fileName + QStringLiteral(".1");
    QFile::remove(previous);
    QFile::rename(fileName, previous);
}

} // namespace

QString LogHandler::formatLine(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    return levelText(type) + QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss.zzz, File: "))
           + QString::fromUtf8(context.file ? context.file : "") + QStringLiteral(", Line: ")
           + QString::number(context.line) + QStringLiteral(" : %1\n").arg(message);
}

bool LogHandler::install(const QString &fileName)
{
    rotate(fileName);
    auto file = new QFile(fileName);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        delete file;
        return false;
    }
    {
        QMutexLocker locker(&logMutex);
        delete logFile;
        logFile = file;
    }
    qInstallMessageHandler(writeMessage);
    return true;
}

void LogHandler::uninstall()
{
    qInstallMessageHandler(nullptr);
    QMutexLocker locker(&logMutex);
    delete logFile;
    logFile = nullptr;
}
