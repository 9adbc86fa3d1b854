#include "image.h"

#include "frame.h"
#include "output.h"
#include "upgradepackets.h"

#include <QCryptographicHash>
#include <QFile>

namespace {
// No packet size carries more: 65536 packets of 253 bytes.
constexpr qint64 LargestImage = qint64(Koru::MaxPacketCount) * Koru::MaxPacketSize;
constexpr qint64 ReadPieceBytes = 64 * 1024;
} // namespace

bool FirmwareImage::read(const QString &name, QString *error)
{
    path = name;
    QFile file;
    const bool opened = name == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                    : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened) {
        *error = FlashText::tr("cannot read %1: %2").arg(name, file.errorString());
        return false;
    }
    // Read to the end, as a pipe gives its bytes in pieces; one byte past the limit tells an
    // image that is too large without reading all of it.
    bytes.clear();
    while (bytes.size() <= LargestImage) {
        const QByteArray piece = file.read(qMin<qint64>(ReadPieceBytes, LargestImage + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (file.error() != QFileDevice::NoError) {
        *error = FlashText::tr("cannot read %1: %2").arg(name, file.errorString());
        return false;
    }
    if (bytes.isEmpty()) {
        *error = FlashText::tr("%1 is empty: there is nothing to write").arg(name);
        return false;
    }
    if (bytes.size() > LargestImage) {
        *error = FlashText::tr("%1 is larger than any device takes (at most %2 bytes)").arg(name).arg(LargestImage);
        return false;
    }
    Koru::byteSum(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()), &checksum);
    sha256 = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    return true;
}
