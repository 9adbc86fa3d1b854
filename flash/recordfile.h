#pragma once

#include <QFile>
#include <QString>

struct UnitResult;

// --record: one JSON line per unit and attempt, appended and handed to the system as it is
// written, so that a killed run loses no finished unit.
class RecordFile
{
public:
    // False, with the reason in error, when the file cannot be opened for appending.
    bool open(const QString &path, QString *error);
    bool isOpen() const { return file.isOpen(); }
    // False when the line could not be written whole.
    bool append(const UnitResult &result);

private:
    QFile file;
};
