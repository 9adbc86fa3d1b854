#include "output.h"
#include "terminal.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

QString hexId(uint8_t id)
{
    return QStringLiteral("0x") + QString::number(id, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

Output::Output(bool json) : json(json), terminal(!json && standardOutputIsTerminal()) {}

void Output::progress(int percent)
{
    if (json || percent == shown)
        return;
    shown = percent;
    if (!terminal) {
        out << percent << "%\n" << Qt::flush;
        return;
    }
    constexpr int Width = 40;
    const int filled = percent * Width / 100;
    out << "\r[" << QString(filled, QLatin1Char('#')) << QString(Width - filled, QLatin1Char('.')) << "] "
        << qSetFieldWidth(3) << percent << qSetFieldWidth(0) << '%' << Qt::flush;
    midLine = true;
}

void Output::line(const QString &text)
{
    if (json)
        return;
    endBar();
    out << text << '\n' << Qt::flush;
}

void Output::problem(const QString &text)
{
    endBar();
    err << QCoreApplication::applicationName() << ": " << text << '\n' << Qt::flush;
}

void Output::text(const QString &text)
{
    if (!json)
        out << text << Qt::flush;
}

void Output::document(const QJsonObject &object)
{
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)) << Qt::flush;
}

void Output::reserveUnitLines(int count)
{
    if (!terminal || json)
        return;
    endBar();
    unitLines = count;
    out << QString(count, QLatin1Char('\n')) << Qt::flush;
}

void Output::unitLine(int unit, const QString &text)
{
    if (json)
        return;
    if (unit >= unitLines) {
        line(text);
        return;
    }
    // Up to the unit's line, rewrite it, and back below the block.
    const int up = unitLines - unit;
    out << "\x1b[" << up << "A\r\x1b[2K" << text << "\x1b[" << up << "B\r" << Qt::flush;
}

void Output::endBar()
{
    if (midLine)
        out << '\n' << Qt::flush;
    midLine = false;
}
