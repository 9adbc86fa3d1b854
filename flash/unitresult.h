#pragma once

#include "devicelist.h"

#include <QDateTime>
#include <QJsonObject>
#include <QMetaType>
#include <QString>

#include <cstdint>

namespace Koru {
enum class UpgradeOutcome;
}

// An exit status with the stable key scripts match on and the translated message; the key
// is empty on success.
struct Verdict
{
    int exitCode = 0;
    QString errorKey;
    QString message;
};

// The verdict for how an upgrade ended; message is the text the run ended with.
Verdict verdictOf(Koru::UpgradeOutcome outcome, uint8_t target, const QString &message);

// One unit and attempt, as --record and --json write it.
struct UnitResult
{
    QDateTime startedUtc;
    qint64 durationMs = 0;
    QString port;
    QString usbSerial;
    uint8_t target = 0;
    // The target's answers before the upgrade and after its reset; empty texts for answers
    // that did not come.
    DeviceInfo before;
    DeviceInfo after;
    QString imagePath;
    qint64 imageSize = 0;
    QString imageSha256;
    Verdict verdict;

    QJsonObject toJson() const;
};

Q_DECLARE_METATYPE(UnitResult)
