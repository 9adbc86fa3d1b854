#pragma once

#include "deviceport.h"
#include "portenumerator.h"

#include <QByteArrayList>

// A port that records every write and lets a test feed device bytes.
class FakeDevicePort : public DevicePort
{
    Q_OBJECT

public:
    using DevicePort::DevicePort;

    void setPortName(const QString &name) override { name_ = name; }
    QString portName() const override { return name_; }
    bool open() override;
    bool isOpen() const override { return opened; }
    void close() override { opened = false; }
    qint64 read(char *data, qint64 maxSize) override;
    qint64 write(const char *data, qint64 count) override;
    bool flush(int) override { return true; } // writes are complete at once
    OpenError lastOpenError() const override { return openFailure; }

    // Makes the next opens fail with the given reason (None lets them succeed).
    void failOpens(OpenError reason) { openFailure = reason; }
    // Queues bytes as if the device had sent them and announces them.
    void feed(const QByteArray &bytes);

    QByteArrayList writes; // one entry per write call
    int openCount = 0;

private:
    QString name_;
    bool opened = false;
    OpenError openFailure = OpenError::None;
    QByteArray incoming;
};

// An enumerator whose port list the test sets.
class FakePortEnumerator : public PortEnumerator
{
    Q_OBJECT

public:
    using PortEnumerator::PortEnumerator;

    QList<PortInfo> getPorts() const override { return ports; }
    // Replaces the list and emits the appear/vanish signals for the differences.
    void setPorts(const QList<PortInfo> &newPorts);

    static PortInfo device(const QString &name);
    static PortInfo other(const QString &name);

private:
    QList<PortInfo> ports;
};
