#include "shelllinecollector.h"

namespace {
const QString LineEnd = QStringLiteral("\r\n");
}

std::optional<QString> ShellLineCollector::add(const QString &piece)
{
    pending += piece;
    if (pending.endsWith(LineEnd))
        pending.chop(LineEnd.size());
    else if (pending.size() <= MaxPendingChars)
        return std::nullopt;
    QString line;
    line.swap(pending);
    return line;
}
