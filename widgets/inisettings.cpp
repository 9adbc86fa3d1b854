#include "inisettings.h"

#include <QSettings>

namespace {
const QString SettingsFile = QStringLiteral("kestan.ini");
}

QString iniValue(const QString &key)
{
    QSettings settings(SettingsFile, QSettings::IniFormat);
    return settings.value(key, QStringLiteral("0")).toString();
}

bool setIniValue(const QString &key, const QString &value)
{
    QSettings settings(SettingsFile, QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
    // A parse error of the old content masks whether the new one was written; reading
    // the key back tells.
    if (settings.status() == QSettings::FormatError)
        return iniValue(key) == value;
    return settings.status() == QSettings::NoError;
}

bool iniFileDamaged()
{
    QSettings settings(SettingsFile, QSettings::IniFormat);
    settings.allKeys(); // the file is parsed on first access
    return settings.status() == QSettings::FormatError;
}
