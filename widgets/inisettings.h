#pragma once

#include <QString>

// One-key access to "kestan.ini" in the working directory. Every call opens the file,
// reads or writes one key and closes it again, so independent rows and a re-plugged
// device always see what was written last. An absent key reads as "0".
QString iniValue(const QString &key);
// Returns false when the file could not be written (a read-only folder or file, or a
// file QSettings cannot parse and so refuses to overwrite).
bool setIniValue(const QString &key, const QString &value);
