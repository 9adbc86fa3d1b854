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
    return settings.status() == QSettings::NoError;
}
