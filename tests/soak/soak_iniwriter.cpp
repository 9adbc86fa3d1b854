// Writes kestan.ini in the working directory one key at a time, as the window does, until it
// is killed: the soak's faults mode kills it at random moments of its writes.

#include "inisettings.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::puts("writing");
    std::fflush(stdout);
    for (qint64 count = 0;; ++count) {
        setIniValue(QStringLiteral("count"), QString::number(count));
        setIniValue(QStringLiteral("line%1").arg(count % 50), QString(64, QLatin1Char('x')) + QString::number(count));
    }
}
