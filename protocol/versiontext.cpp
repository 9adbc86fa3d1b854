#include "versiontext.h"

#include <QByteArray>

namespace {

QString hexText(const uint8_t *bytes, int count)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(bytes), count).toHex().toUpper());
}

} // namespace

QString versionText(uint32_t version)
{
    return QStringLiteral("%1.%2.%3")
        .arg((version >> 16) & 0xFF)
        .arg((version >> 8) & 0xFF)
        .arg(version & 0xFF);
}

QString hardwareIdText(const uint8_t *versionAnswer)
{
    const auto *text = reinterpret_cast<const char *>(versionAnswer + HardwareIdAt);
    return QString::fromLatin1(text, int(qstrnlen(text, HardwareIdLength)));
}

QString serialNumberText(const uint8_t *identityAnswer, QChar separator)
{
    return hexText(identityAnswer, 4) + separator + hexText(identityAnswer + 4, 4);
}
