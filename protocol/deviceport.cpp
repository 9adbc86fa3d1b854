#include "deviceport.h"

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QFileInfo>

namespace {
constexpr int NestedLoopPollMs = 10;
}

SerialDevicePort::SerialDevicePort(QObject *parent)
    : DevicePort(parent)
{
    port.setPortName(QStringLiteral("com1"));
    connect(&port, &QSerialPort::readyRead, this, &SerialDevicePort::announce);
    connect(&port, &QSerialPort::errorOccurred, this, &SerialDevicePort::onError);
    nestedLoopPoll.setInterval(NestedLoopPollMs);
    connect(&nestedLoopPoll, &QTimer::timeout, this, [this] {
        if (port.bytesAvailable() > 0)
            emit readyRead();
    });
}

// QSerialPort announces no new bytes while a handler of its last notice runs. A handler that
// waits in a nested event loop (an answer box) would hear of nothing more until it returns,
// so while such a loop waits, a poll announces in its place; bytes it left behind are
// announced once the handler is back.
void SerialDevicePort::announce()
{
    bool nested = false;
    do {
        announcing = true;
        emit readyRead();
        announcing = false;
        nested = nestedLoopPoll.isActive();
        nestedLoopPoll.stop();
    } while (nested && port.bytesAvailable() > 0);
}

// The event loop is about to wait inside a handler only when a nested loop runs there.
void SerialDevicePort::watchNestedLoops()
{
    if (watchingNestedLoops)
        return;
    auto *dispatcher = QAbstractEventDispatcher::instance(thread());
    watchingNestedLoops = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
        if (announcing && !nestedLoopPoll.isActive())
            nestedLoopPoll.start();
    });
}

// A hung-up descriptor stays readable for ever, and each read fails at once: left open it
// would keep the event loop spinning. It is closed at the first sign.
void SerialDevicePort::onError(QSerialPort::SerialPortError error)
{
    if (!port.isOpen()
        || (error != QSerialPort::ResourceError && error != QSerialPort::ReadError
            && error != QSerialPort::WriteError))
        return;
    port.close();
    emit failed();
}

// QSerialPort's lock file is named after the path it opens: a link (as /dev/serial/by-id
// names are) is resolved so that it and its target share one lock.
void SerialDevicePort::setPortName(const QString &name)
{
    const QFileInfo info(name);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : QString();
    port.setPortName(target.isEmpty() ? name : target);
    givenName = name;
}

QString SerialDevicePort::portName() const
{
    return givenName;
}

bool SerialDevicePort::open()
{
    openError = OpenError::None;
    watchNestedLoops();
    if (!port.open(QIODevice::ReadWrite)) {
        switch (port.error()) {
        case QSerialPort::PermissionError:
            openError = OpenError::PermissionDenied;
            break;
        case QSerialPort::OpenError:
            openError = OpenError::Busy;
            break;
        default:
            openError = OpenError::Other;
            break;
        }
        return false;
    }
    const bool configured = port.setBaudRate(QSerialPort::Baud115200)
                            && port.setDataBits(QSerialPort::Data8)
                            && port.setParity(QSerialPort::NoParity)
                            && port.setStopBits(QSerialPort::OneStop)
                            && port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        port.close();
        openError = OpenError::Other;
        return false;
    }
    return true;
}

bool SerialDevicePort::isOpen() const
{
    return port.isOpen();
}

void SerialDevicePort::close()
{
    port.close();
}

qint64 SerialDevicePort::read(char *data, qint64 maxSize)
{
    return port.read(data, maxSize);
}

qint64 SerialDevicePort::write(const char *data, qint64 count)
{
    return port.write(data, count);
}

// QSerialPort keeps what write() takes until the event loop hands it to the system; a
// program that ends without returning to its loop would lose it.
bool SerialDevicePort::flush(int msecs)
{
    // Hands the system what it takes now, without blocking: all a wait of 0 ms does.
    if (port.isOpen())
        port.flush();
    QElapsedTimer clock;
    clock.start();
    while (port.isOpen() && port.bytesToWrite() > 0) {
        const qint64 left = msecs - clock.elapsed();
        if (left <= 0 || !port.waitForBytesWritten(int(left)))
            break;
    }
    return port.bytesToWrite() == 0;
}
