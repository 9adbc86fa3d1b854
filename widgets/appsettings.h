#pragma once

#include <QObject>
#include <QString>

// kestan.ini for the window and its pages, one key per access (see inisettings.h). The
// first write that fails in a run is announced, so that the window can say so once
// without blocking; the program works on without keeping its settings.
class AppSettings : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    QString read(const QString &key) const;
    // A stored "0" cannot be told from an absent key; both give the fallback.
    QString readOr(const QString &key, const QString &fallback) const;
    void write(const QString &key, const QString &value);

signals:
    void writeFailed();

private:
    bool failureAnnounced = false;
};
