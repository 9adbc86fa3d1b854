#include "deviceport.h"

#include <QElapsedTimer>

SerialDevicePort::SerialDevicePort(QObject *parent)
    : DevicePort(parent)
{
    port.setPortName(QStringLiteral("com1"));
    connect(&port, &QSerialPort::readyRead, this, &DevicePort::readyRead);
}

void SerialDevicePort::setPortName(const QString &name)
{
    port.setPortName(name);
}

QString SerialDevicePort::portName() const
{
    return port.portName();
}

bool SerialDevicePort::open()
{
    openError = OpenError::None;
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

qint64 SerialDevicePort::bytesAvailable() const
{
    return port.bytesAvailable();
}

QByteArray SerialDevicePort::readAll()
{
    return port.readAll();
}

qint64 SerialDevicePort::write(const char *data, qint64 count)
{
    return port.write(data, count);
}

// QSerialPort keeps what write() takes until the event loop hands it to the system; a
// program that ends without returning to its loop would lose it.
bool SerialDevicePort::flush(int msecs)
{
    QElapsedTimer clock;
    clock.start();
    while (port.isOpen() && port.bytesToWrite() > 0) {
        const qint64 left = msecs - clock.elapsed();
        if (left <= 0 || !port.waitForBytesWritten(int(left)))
            break;
    }
    return port.bytesToWrite() == 0;
}
