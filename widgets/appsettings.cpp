#include "appsettings.h"

#include "inisettings.h"

QString AppSettings::read(const QString &key) const
{
    return iniValue(key);
}

QString AppSettings::readOr(const QString &key, const QString &fallback) const
{
    const QString stored = iniValue(key);
    return stored == QLatin1String("0") ? fallback : stored;
}

void AppSettings::write(const QString &key, const QString &value)
{
    if (setIniValue(key, value) || failureAnnounced)
        return;
    failureAnnounced = true;
    emit writeFailed();
}
