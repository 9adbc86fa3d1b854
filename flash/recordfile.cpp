#include "recordfile.h"

#include "output.h"
#include "unitresult.h"

#include <QJsonDocument>

bool RecordFile::open(const QString &path, QString *error)
{
    file.setFileName(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    *error = FlashText::tr("cannot write the record %1: %2").arg(path, file.errorString());
    return false;
}

bool RecordFile::append(const UnitResult &result)
{
    const QByteArray line = QJsonDocument(result.toJson()).toJson(QJsonDocument::Compact) + '\n';
    return file.write(line) == line.size() && file.flush();
}
