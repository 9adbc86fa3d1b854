#include "output.h"
#include "terminal.h"

#include <cstdio>

QString hexId(uint8_t id)
{
    return QStringLiteral("0x") + QString::number(id, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

Output::Output() : terminal(standardOutputIsTerminal()) {}

void Output::progress(int percent)
{
    if (percent == shown || frozen)
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
    out << text << Qt::flush;
}

void Output::endBar()
{
    if (midLine)
        out << '\n' << Qt::flush;
    midLine = false;
}
