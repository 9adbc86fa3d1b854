#include "portenumerator.h"
#include "protocolids.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Stands for the system: its notices arrive as announceChangesLater() calls.
class NoticeEnumerator : public PortEnumerator
{
public:
    QList<PortInfo> getPorts() const override { return ports; }
    void notice(const QList<PortInfo> &now)
    {
        ports = now;
        announceChangesLater();
    }

private:
    QList<PortInfo> ports;
};

PortInfo port(const QString &name)
{
    return {name, 0x1234, 0x0001, QStringLiteral("SN-") + name};
}

} // namespace

class TestPortEnumerator : public QObject
{
    Q_OBJECT

private slots:
    void burstGivesOneComparison();
    void neverAnnouncesInsideAReceiver();
    void serialNumberTellsPortsApart();
    void fixedPathFollowsItsPath();
};

void TestPortEnumerator::burstGivesOneComparison()
{
    NoticeEnumerator enumerator;
    QSignalSpy found(&enumerator, &PortEnumerator::deviceDiscovered);
    QSignalSpy gone(&enumerator, &PortEnumerator::deviceRemoved);
    for (int i = 0; i < 50; ++i)
        enumerator.notice(i % 2 ? QList<PortInfo>{} : QList<PortInfo>{port(QStringLiteral("ttyACM0"))});
    enumerator.notice({port(QStringLiteral("ttyACM1"))});
    QCOMPARE(found.count(), 0); // nothing from inside the caller
    QTRY_COMPARE(found.count(), 1);
    QCOMPARE(found.at(0).at(0).value<PortInfo>().portName, QStringLiteral("ttyACM1"));
    QCoreApplication::processEvents();
    QCOMPARE(found.count(), 1);
    QCOMPARE(gone.count(), 0);
}

void TestPortEnumerator::neverAnnouncesInsideAReceiver()
{
    // A receiver that flaps the port and turns the event loop, as a waiting dialog would.
    NoticeEnumerator enumerator;
    int depth = 0;
    int deepest = 0;
    int announcements = 0;
    auto receiver = [&](const PortInfo &) {
        deepest = qMax(deepest, ++depth);
        if (++announcements < 10) {
            const bool present = !enumerator.getPorts().isEmpty();
            enumerator.notice(present ? QList<PortInfo>{} : QList<PortInfo>{port(QStringLiteral("ttyACM0"))});
            for (int turn = 0; turn < 5; ++turn)
                QCoreApplication::processEvents();
        }
        --depth;
    };
    connect(&enumerator, &PortEnumerator::deviceDiscovered, this, receiver);
    connect(&enumerator, &PortEnumerator::deviceRemoved, this, receiver);
    enumerator.notice({port(QStringLiteral("ttyACM0"))});
    QTRY_COMPARE(announcements, 10);
    QCOMPARE(deepest, 1);
}

void TestPortEnumerator::serialNumberTellsPortsApart()
{
    NoticeEnumerator enumerator;
    QSignalSpy found(&enumerator, &PortEnumerator::deviceDiscovered);
    QSignalSpy gone(&enumerator, &PortEnumerator::deviceRemoved);
    PortInfo first = port(QStringLiteral("ttyACM0"));
    enumerator.notice({first});
    QTRY_COMPARE(found.count(), 1);
    // Another controller on the same node name between two scans.
    PortInfo second = first;
    second.serialNumber = QStringLiteral("SN-other");
    enumerator.notice({second});
    QTRY_COMPARE(found.count(), 2);
    QCOMPARE(gone.count(), 1);
    QCOMPARE(gone.at(0).at(0).value<PortInfo>().serialNumber, first.serialNumber);
}

void TestPortEnumerator::fixedPathFollowsItsPath()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ttyKORU0"));
    auto *base = new NoticeEnumerator;
    FixedPathEnumerator enumerator(base, path);
    QSignalSpy found(&enumerator, &PortEnumerator::deviceDiscovered);
    QSignalSpy gone(&enumerator, &PortEnumerator::deviceRemoved);
    QVERIFY(enumerator.getPorts().isEmpty());

    QFile node(path);
    QVERIFY(node.open(QIODevice::WriteOnly));
    QVERIFY(found.wait(5000));
    const PortInfo info = found.at(0).at(0).value<PortInfo>();
    QCOMPARE(info.portName, path);
    QCOMPARE(info.vendorID, Koru::DeviceVendorId);
    QCOMPARE(info.productID, Koru::DeviceProductId);

    base->notice({port(QStringLiteral("ttyS0"))});
    QTRY_COMPARE(found.count(), 2);
    QVERIFY(node.remove());
    QTRY_COMPARE(gone.count(), 1);
    QCOMPARE(gone.at(0).at(0).value<PortInfo>().portName, path);
    QCOMPARE(enumerator.getPorts().size(), 1);
}

QTEST_GUILESS_MAIN(TestPortEnumerator)
#include "tst_portenumerator.moc"
