#include "versiontext.h"

QString versionText(uint32_t version)
{
    return QStringLiteral("%1.%2.%3")
        .arg((version >> 16) & 0xFF)
        .arg((version >> 8) & 0xFF)
        .arg(version & 0xFF);
}
