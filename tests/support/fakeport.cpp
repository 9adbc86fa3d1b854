#include "fakeport.h"

#include "protocolids.h"

bool FakeDevicePort::open()
{
    ++openCount;
    opened = openFailure == OpenError::None;
    return opened;
}

QByteArray FakeDevicePort::readAll()
{
    QByteArray bytes;
    bytes.swap(incoming);
    return bytes;
}

qint64 FakeDevicePort::write(const char *data, qint64 count)
{
    if (!opened)
        return -1;
    writes.append(QByteArray(data, int(count)));
    return count;
}

void FakeDevicePort::feed(const QByteArray &bytes)
{
    incoming.append(bytes);
    emit readyRead();
}

void FakePortEnumerator::setPorts(const QList<PortInfo> &newPorts)
{
    ports = newPorts;
    announceChanges(ports);
}

PortInfo FakePortEnumerator::device(const QString &name)
{
    return {name, Koru::DeviceVendorId, Koru::DeviceProductId};
}

PortInfo FakePortEnumerator::other(const QString &name)
{
    return {name, 0x1234, 0x0001};
}
