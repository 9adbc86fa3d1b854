#include "loghandler.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QTime>

#include <cstdlib>

namespace {

// How long identical lines are only counted before the count is written anyway, so that
// a log read during a flood shows it going on.
constexpr qint64 RepeatReportMs = 30000;

// The last line written, and how often it came again since.
struct LastLine
{
    QtMsgType type = QtDebugMsg;
    QString file;
    int line = 0;
    QString message;
    qint64 repeats = 0;
    QTime lastSeen;
    QElapsedTimer sinceWritten;

    bool isSame(QtMsgType otherType, const QString &otherFile, int otherLine, const QString &otherMessage) const
    {
        return sinceWritten.isValid() && type == otherType && line == otherLine && file == otherFile
               && message == otherMessage;
    }
};

QFile *logFile = nullptr;
LastLine last;
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

QString lineText(QtMsgType type, const QTime &time, const QString &file, int line, const QString &message)
{
    return levelText(type) + time.toString(QStringLiteral("hh:mm:ss.zzz")) + QStringLiteral(", File: ") + file
           + QStringLiteral(", Line: ") + QString::number(line) + QStringLiteral(" : %1\n").arg(message);
}

QString fileOf(const QMessageLogContext &context)
{
    return QString::fromUtf8(context.file ? context.file : "");
}

// Moves the log to "<name>.1", replacing the one there.
void rotate(const QString &fileName)
{
    const QString previous = fileName + QStringLiteral(".1");
    QFile::remove(previous);
    QFile::rename(fileName, previous);
}

// Called with logMutex held. A log that cannot be reopened ends logging: writing to a
// closed file would warn, and the warning would come back here.
void rotateOpenLog()
{
    logFile->close();
    rotate(logFile->fileName());
    if (logFile->open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    delete logFile;
    logFile = nullptr;
}

// Called with logMutex held. The log is open for appending, so its position is its size.
void writeLine(const QString &text)
{
    if (logFile && logFile->pos() > LogHandler::MaxLogSize)
        rotateOpenLog();
    if (!logFile)
        return;
    logFile->write(text.toUtf8());
    logFile->flush();
}

// Called with logMutex held.
void writeRepeatCount()
{
    if (last.repeats == 0)
        return;
    writeLine(lineText(last.type, last.lastSeen, last.file, last.line,
                       QStringLiteral("last message repeated %1 times").arg(last.repeats)));
    last.repeats = 0;
    last.sinceWritten.start();
}

// A line identical to the one before, timestamp aside, is only counted.
void writeMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg)
        std::abort();
    QMutexLocker locker(&logMutex);
    if (!logFile)
        return;
    const QString file = fileOf(context);
    const QTime now = QTime::currentTime();
    if (last.isSame(type, file, context.line, message)) {
        ++last.repeats;
        last.lastSeen = now;
        if (last.sinceWritten.elapsed() >= RepeatReportMs)
            writeRepeatCount();
        return;
    }
    writeRepeatCount();
    last = LastLine{type, file, context.line, message, 0, now, {}};
    last.sinceWritten.start();
    writeLine(lineText(type, now, file, context.line, message));
}

} // namespace

bool LogHandler::install(const QString &fileName)
{
    if (QFileInfo(fileName).size() > MaxLogSize)
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
        last = LastLine{};
    }
    qInstallMessageHandler(writeMessage);
    return true;
}

void LogHandler::uninstall()
{
    qInstallMessageHandler(nullptr);
    QMutexLocker locker(&logMutex);
    if (logFile)
        writeRepeatCount();
    delete logFile;
    logFile = nullptr;
}
