#pragma once

#include <QString>

// One-key access to "kestan.ini" in the working directory. Every call opens the file,
// reads or writes one key and closes it again, so independent rows and a re-plugged
// device always see what was written last. An absent key reads as "0".
//
// A file over 1 MiB is not a settings file this program wrote; parsing it would hold up
// the window for as long as it takes. It is left alone: every key reads as "0" and
// nothing can be stored for as long as it is that large.
QString iniValue(const QString &key);
// Returns false when the value could not be stored (a read-only folder or file, or a
// file over 1 MiB). A file that cannot be parsed is rewritten with the keys that could
// be read.
bool setIniValue(const QString &key, const QString &value);
// True when the file exists but cannot be parsed as a whole, or is over 1 MiB.
bool iniFileDamaged();
// True when the file is over 1 MiB and so is neither read nor written.
bool iniFileTooLarge();
// The process id of another running program that holds "kestan.ini.lock", or 0. A lock
// left by a killed run (empty, or naming a process that is gone) is removed here, so that
// the next write takes it at once instead of waiting 30 s for it to go stale.
qint64 iniLockHolder();
