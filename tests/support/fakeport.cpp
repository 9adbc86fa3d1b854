#include "fakeport.h"

#include "protocolids.h"

#include <algorithm>

bool FakeDevicePort::open()
{
    ++openCount;
    opened = openFailure == OpenError::None;
    return opened;
}

qint64 FakeDevicePort::read(char *data, qint64 maxSize)
{
    if (!opened)
        return -1;
    const int count = int(std::min<qint64>(maxSize, incoming.size()));
    std::copy_n(incoming.constData(), count, data);
    incoming.remove(0, count);
    return count;
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
    return {name, Koru::DeviceVendorId, Koru::DeviceProductId, {}};
}

PortInfo FakePortEnumerator::other(const QString &name)
{
    return {name, 0x1234, 0x0001, {}};
}
