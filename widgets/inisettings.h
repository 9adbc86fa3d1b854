#pragma once

#include <QString>

// One-key access to "kestan.ini" in the working directory. Every call opens the file,
// reads or writes one key and closes it again, so independent rows and a re-plugged
// device always see what was written last. An absent key reads as "0".
QString iniValue(const QString &key);
// Returns false when the value could not be stored (a read-only folder or file). A file
// that cannot be parsed is rewritten with the keys that could be read.
bool setIniValue(const QString &key, const QString &value);
// True when the file exists but cannot be parsed as a whole.
bool iniFileDamaged();
