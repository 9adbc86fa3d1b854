#include "soakprobes.h"

#include "mypushbutton.h"
#include "simulatorthread.h"
#include "updatefileitem.h"
#include "upgraderows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Koru;

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

QByteArray pseudoRandomImage(quint32 seed, int size)
{
    QRandomGenerator random(seed);
    QByteArray image(size, '\0');
    random.fillRange(reinterpret_cast<quint32 *>(image.data()), size / int(sizeof(quint32)));
    return image;
}

// Waits in an event loop of its own, which sleeps in the system until the port or a timer has
// something: QTest's waits sleep 10 ms between their event passes, which would hold every
// acknowledgement of a stop-and-wait transfer back that long.
static bool waitInEventLoop(const std::function<bool()> &done, int limitMs)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(5);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

RowUpgrade upgradeInRow(QWidget *window, uint8_t deviceId, const QString &file, int limitMs)
{
    RowUpgrade run;
    if (!QTest::qWaitFor([&] { return upgradeRowOf(window, deviceId) != nullptr; }, 10000)) {
        run.problem = QStringLiteral("no row for device 0x%1").arg(deviceId, 2, 16);
        return run;
    }
    UpdateFileItem *row = upgradeRowOf(window, deviceId);
    chooseUpgradeFile(row, file);

    QString stoppedAt;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, row, [row, &stoppedAt] {
        stoppedAt = row->findChild<QLabel *>(QStringLiteral("bule"))->text();
        QTest::mouseClick(rowButton(row, "itemClose"), Qt::LeftButton);
    });
    limit.start(limitMs);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(rowButton(row, "zhengxian"), Qt::LeftButton);
    // The run ends with its message in the row, or the limit closes the row.
    auto *messageLabel = row->findChild<QLabel *>(QStringLiteral("msgLabel"));
    if (!waitInEventLoop([&] { return !stoppedAt.isEmpty() || !messageLabel->text().isEmpty(); }, limitMs + 10000)) {
        run.problem = QStringLiteral("transfer to 0x%1 did not end").arg(deviceId, 2, 16);
        return run;
    }
    run.elapsedMs = clock.elapsed();
    if (!stoppedAt.isEmpty()) {
        run.problem = QStringLiteral("transfer to 0x%1 stopped after %2 s at %3")
                          .arg(deviceId, 2, 16)
                          .arg(limitMs / 1000)
                          .arg(stoppedAt);
        return run;
    }
    run.message = messageLabel->text();
    QTest::mouseClick(rowButton(row, "itemClose"), Qt::LeftButton);
    return run;
}

QString upgradeThroughRow(QWidget *window, uint8_t deviceId, const QString &file, int limitMs)
{
    const RowUpgrade run = upgradeInRow(window, deviceId, file, limitMs);
    if (!run.problem.isEmpty())
        return run.problem;
    qInfo("soak: transfer to 0x%02X took %.1f s", deviceId, run.elapsedMs / 1000.0);
    if (run.message != upgradeSucceededText())
        return QStringLiteral("transfer to 0x%1 ended with \"%2\"").arg(deviceId, 2, 16).arg(run.message);
    return {};
}

QString upgradeSucceededText()
{
    return QCoreApplication::translate("UpgradeEngine", "upgred ok ");
}

QByteArray completedImage(SimulatorThread &simulator, uint8_t deviceId)
{
    QByteArray image;
    SimulatorHost *host = simulator.host();
    QMetaObject::invokeMethod(
        host, [host, deviceId, &image] { image = host->simulator()->completedImage(deviceId); },
        Qt::BlockingQueuedConnection);
    return image;
}
