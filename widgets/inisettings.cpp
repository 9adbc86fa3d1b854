#include "inisettings.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString SettingsFile = QStringLiteral("kestan.ini");
const QString DefaultValue = QStringLiteral("0");
constexpr qint64 MaxSettingsFileSize = 1024 * 1024;
}

bool iniFileTooLarge()
{
    return QFileInfo(SettingsFile).size() > MaxSettingsFileSize;
}

QString iniValue(const QString &key)
{
    if (iniFileTooLarge())
        return DefaultValue;
    QSettings settings(SettingsFile, QSettings::IniFormat);
    return settings.value(key, DefaultValue).toString();
}

bool setIniValue(const QString &key, const QString &value)
{
    if (iniFileTooLarge())
        return false;
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
    if (iniFileTooLarge())
        return true;
    QSettings settings(SettingsFile, QSettings::IniFormat);
    settings.allKeys(); // the file is parsed on first access
    return settings.status() == QSettings::FormatError;
}
