#pragma once

#include <QObject>
#include <QSerialPort>
#include <QTimer>

// The device link's serial port behind a small interface, so tests can substitute a fake
// that records writes and feeds replies.
class DevicePort : public QObject
{
    Q_OBJECT

public:
    enum class OpenError { None, PermissionDenied, Busy, Other };

    using QObject::QObject;

    virtual void setPortName(const QString &name) = 0;
    virtual QString portName() const = 0;
    virtual bool open() = 0; // read-write, 115200 8N1, no flow control
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // Up to maxSize received bytes into data; the count taken, -1 when closed.
    virtual qint64 read(char *data, qint64 maxSize) = 0;
    virtual qint64 write(const char *data, qint64 count) = 0;
    // Waits at most msecs until everything written has left the program for the device;
    // false when some of it is still waiting.
    virtual bool flush(int msecs) = 0;
    virtual OpenError lastOpenError() const { return OpenError::None; }

signals:
    // New bytes arrived; also while a handler of the previous notice still runs.
    void readyRead();
    // The open port broke (hang-up, a failed read or write, the device gone) and is closed.
    void failed();
};

class SerialDevicePort : public DevicePort
{
    Q_OBJECT

public:
    explicit SerialDevicePort(QObject *parent = nullptr);

    void setPortName(const QString &name) override;
    QString portName() const override;
    bool open() override;
    bool isOpen() const override;
    void close() override;
    qint64 read(char *data, qint64 maxSize) override;
    qint64 write(const char *data, qint64 count) override;
    bool flush(int msecs) override;
    OpenError lastOpenError() const override { return openError; }

private:
    void announce();
    void watchNestedLoops();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port;
    QString givenName;
    OpenError openError = OpenError::None;
    bool announcing = false;
    QTimer nestedLoopPoll{this};
    bool watchingNestedLoops = false;
};
