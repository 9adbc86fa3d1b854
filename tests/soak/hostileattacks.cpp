#include "hostileattacks.h"

#include "devicestate.h"
#include "loghandler.h"
#include "mainwindow.h"
#include "shellmsgdialog.h"
#include "simulatorthread.h"
#include "soakprobes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Koru;

namespace {

constexpr qint64 MaxGrowthKiB = 20 * 1024;
constexpr qint64 MaxLogBytes = 10 * 1000 * 1000;
constexpr int SettleMs = 2000;
constexpr int UpgradeImageSize = 1024 * 1024;
constexpr int UpgradeLimitMs = 240000;
constexpr uint8_t UpgradedId = 0x13;
// Dialogs of the known device types other than the controller, and the two answer boxes.
constexpr int MaxDialogs = 16;
constexpr int MaxBoxes = 2;

const HostileDevice::Poll GimbalBurst{GimbalSet, CMD_ID_GET_GIMBAL_CH, GimbalCameraId, 11};
const HostileDevice::Poll ChannelBurst{RemoteControllerSet, CMD_ID_GET_REVERSE, RemoteControllerId, 16};

QByteArray shellText(uint8_t source, const QByteArray &text)
{
    return makeFrame(source, AssistantId, CommonSet, CMD_ID_SHELL_TEXT, text);
}

// Lines of 200 characters, each one different.
HostileDevice::FrameMaker textFrom(uint8_t source)
{
    return [source](int n) {
        QByteArray line = "flood line " + QByteArray::number(n) + ' ';
        return shellText(source, line.leftJustified(200, 'x') + "\r\n");
    };
}

QByteArray markup(int n)
{
    const uint8_t source = n % 2 ? RemoteControllerId : ModuleSideId;
    return shellText(source, "<img src=\"/dev/zero\"><a href=\"file:///dev/zero\">" + QByteArray::number(n)
                                 + "</a>\r\n");
}

// Dates and set results by turns, every one different from the one before.
QByteArray dateAnswer(int n)
{
    if (n % 2)
        return makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, CMD_ID_SET_PRODUCTION_DATE,
                         QByteArray(1, char(1 + n / 2 % 2)));
    QByteArray date(4, '\0');
    writeU32(reinterpret_cast<uint8_t *>(date.data()), 20260000u + uint32_t(n));
    return makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, CMD_ID_PRODUCTION_DATE, date);
}

// Start, packet and end answers by turns, with changing status values and packet numbers.
QByteArray upgradeAnswer(int n)
{
    static const uint8_t ids[] = {CMD_ID_UPGRADE_START, CMD_ID_UPGRADE_DATA, CMD_ID_UPGRADE_END};
    QByteArray payload(3, '\0');
    payload[0] = char(5 + n / 3 % 200);
    writeU16(reinterpret_cast<uint8_t *>(payload.data()) + 1, uint16_t(n));
    return makeFrame(RemoteControllerId, AssistantId, CommonSet, ids[n % 3], payload);
}

// A camera whose configuration flips with every report, and that confirms sets nobody made.
QByteArray cameraFlip(int n)
{
    if (n % 2)
        return makeFrame(GimbalCameraId, AssistantId, GimbalSet, CMD_ID_SET_CAMERA_CONFIG, QByteArray());
    return makeFrame(GimbalCameraId, AssistantId, GimbalSet, CMD_ID_GET_CAMERA_CONFIG,
                     QByteArray(2, char(n / 2 % 2)));
}

QByteArray liveValues(int n)
{
    QByteArray values(2 * ChannelCount, '\0');
    for (int ch = 0; ch < ChannelCount; ++ch)
        writeU16(reinterpret_cast<uint8_t *>(values.data()) + 2 * ch, uint16_t(1000 + (n + 37 * ch) % 1000));
    return makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, CMD_ID_CH_VALUES, values);
}

template<typename T>
int visibleCount(const MainWindow &window)
{
    const QList<T *> widgets = window.findChildren<T *>();
    return int(std::count_if(widgets.begin(), widgets.end(), [](T *w) { return w->isVisible(); }));
}

} // namespace

struct HostileSoak::Attack
{
    const char *name;
    int page;
    HostileDevice::Poll poll; // framesPerBurst 0: the page has no periodic poll
    int pollIntervalMs;
    int framesPerSecond; // 0: as fast as the pseudo-terminal takes them
    HostileDevice::FrameMaker frames;
    bool upgrade;
};

struct HostileSoak::Figures
{
    qint64 startKiB = 0;
    qint64 peakKiB = 0;
    qint64 endKiB = 0;
    qint64 logBytes = 0;
    bool logRotated = false;
    HostileDevice::Counts counts;
    int boxes = 0;
    int dialogs = 0;
    QString upgradeFailure;
    qint64 upgradeMs = 0;
};

HostileSoak::HostileSoak(MainWindow &window, SimulatorThread &simulator, const QString &directory)
    : window(window), simulator(simulator), directory(directory)
{
    SimulatorHost *host = simulator.host();
    onSimulatorThread([this, host] { device = new HostileDevice(host); });
}

template<typename Function>
void HostileSoak::onSimulatorThread(Function function)
{
    QMetaObject::invokeMethod(simulator.host(), function, Qt::BlockingQueuedConnection);
}

QStringList HostileSoak::runAll(int attackMs)
{
    const HostileDevice::Poll none{0, 0, 0, 0};
    const Attack attacks[] = {
        {"text from 0x10", MainWindow::Gimbal, GimbalBurst, 1000, 0, textFrom(RemoteControllerId), false},
        {"text from 0x2C", MainWindow::Gimbal, GimbalBurst, 1000, 0, textFrom(ModuleSideId), false},
        {"markup naming /dev/zero", MainWindow::Gimbal, GimbalBurst, 1000, 0, markup, false},
        {"date answers", MainWindow::Gimbal, GimbalBurst, 1000, 1000, dateAnswer, false},
        {"upgrade answers", MainWindow::Gimbal, GimbalBurst, 1000, 0, upgradeAnswer, false},
        {"camera flip", MainWindow::Gimbal, GimbalBurst, 1000, 0, cameraFlip, false},
        {"live values", MainWindow::Channels, ChannelBurst, 500, 0, liveValues, false},
        {"upgrade while date answers arrive", MainWindow::Upgrade, none, 0, 1000, dateAnswer, true},
    };
    static_assert(sizeof attacks / sizeof attacks[0] == AttackCount, "the soak's time limit counts them");
    QStringList failures;
    for (const Attack &attack : attacks)
        failures += run(attack, attackMs);
    return failures;
}

// Shows the attack's page, lets it settle, and gives the attack a log of its own.
QStringList HostileSoak::run(const Attack &attack, int attackMs)
{
    QMetaObject::invokeMethod(&window, "showPage", Q_ARG(int, attack.page));
    QTest::qWait(SettleMs);
    const QString log = QDir(directory).filePath(QStringLiteral("kestan-%1.log").arg(++attacksRun));
    if (!LogHandler::install(log))
        return {QStringLiteral("cannot open ") + log};
    Figures figures = this->attack(attack, attackMs);
    LogHandler::uninstall();
    figures.logBytes = QFileInfo(log).size();
    figures.logRotated = QFileInfo::exists(log + QStringLiteral(".1"));
    report(attack, figures);
    return limitsBroken(attack, figures);
}

// Runs the attack for attackMs, sampling the resident memory twice a second.
HostileSoak::Figures HostileSoak::attack(const Attack &attack, int attackMs)
{
    Figures figures;
    figures.startKiB = figures.peakKiB = residentKiB();
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &window,
                     [&figures] { figures.peakKiB = std::max(figures.peakKiB, residentKiB()); });
    sampler.start(500);
    HostileDevice *hostile = device;
    onSimulatorThread([&] { hostile->start(attack.frames, attack.framesPerSecond, attack.poll); });
    QElapsedTimer clock;
    clock.start();
    if (attack.upgrade) {
        figures.upgradeFailure = upgradeMeanwhile();
        figures.upgradeMs = clock.elapsed();
    }
    if (clock.elapsed() < attackMs)
        QTest::qWait(int(attackMs - clock.elapsed()));
    figures.endKiB = residentKiB();
    figures.peakKiB = std::max(figures.peakKiB, figures.endKiB);
    figures.boxes = visibleCount<QMessageBox>(window);
    figures.dialogs = window.findChildren<ShellMsgDialog *>().size();
    onSimulatorThread([&] { figures.counts = hostile->stop(); });
    QTest::qWait(SettleMs); // lines still on their way reach the attack's log
    return figures;
}

QString HostileSoak::upgradeMeanwhile()
{
    const QString file = QDir(directory).filePath(QStringLiteral("hostile.bin"));
    const QByteArray image = pseudoRandomImage(0x4057113Eu, UpgradeImageSize);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(image) != image.size())
        return QStringLiteral("cannot write ") + file;
    out.close();
    const QString failure = upgradeThroughRow(&window, UpgradedId, file, UpgradeLimitMs);
    if (!failure.isEmpty())
        return failure;
    // The device takes the image as complete once it has handled the reset that follows.
    const bool whole = QTest::qWaitFor([&] { return completedImage(simulator, UpgradedId) == image; }, 5000);
    return whole ? QString() : QStringLiteral("the device's image differs");
}

void HostileSoak::report(const Attack &attack, const Figures &figures)
{
    const HostileDevice::Counts &counts = figures.counts;
    const double seconds = counts.elapsedMs / 1000.0;
    qInfo("hostile: %s, %.1f s: %lld frames sent; the window wrote %.1f frames/s, %lld camera sets",
          attack.name, seconds, counts.framesSent, counts.framesWritten / seconds, counts.cameraSets);
    qInfo("hostile: %s: RSS %lld KiB before, %lld KiB at the peak, %lld KiB at the end; log %lld bytes%s",
          attack.name, figures.startKiB, figures.peakKiB, figures.endKiB, figures.logBytes,
          figures.logRotated ? " and rotated" : "");
    qInfo("hostile: %s: %lld poll frames (last at %.1f s), %d boxes shown, %d dialogs", attack.name,
          counts.pollFrames, counts.lastPollMs / 1000.0, figures.boxes, figures.dialogs);
    if (attack.upgrade)
        qInfo("hostile: %s: upgrade %s after %.1f s", attack.name,
              figures.upgradeFailure.isEmpty() ? "arrived whole" : qPrintable(figures.upgradeFailure),
              figures.upgradeMs / 1000.0);
}

QStringList HostileSoak::limitsBroken(const Attack &attack, const Figures &figures)
{
    const HostileDevice::Counts &counts = figures.counts;
    QStringList broken;
    const auto check = [&broken, &attack](bool kept, const QString &what) {
        if (!kept)
            broken << QStringLiteral("%1: %2").arg(QLatin1String(attack.name), what);
    };
    check(figures.peakKiB - figures.startKiB < MaxGrowthKiB, QStringLiteral("resident memory grew too much"));
    check(!figures.logRotated && figures.logBytes < MaxLogBytes, QStringLiteral("the log grew too much"));
    if (attack.poll.framesPerBurst > 0) {
        const qint64 bursts = counts.pollFrames / attack.poll.framesPerBurst;
        check(bursts >= counts.elapsedMs / attack.pollIntervalMs / 2, QStringLiteral("too few polls"));
        check(counts.lastPollMs >= counts.elapsedMs - 3 * attack.pollIntervalMs - 1000,
              QStringLiteral("the polls stopped"));
    }
    check(counts.cameraSets <= 2 * (counts.elapsedMs / 1000 + 2), QStringLiteral("camera echoes unbounded"));
    check(figures.boxes <= MaxBoxes, QStringLiteral("too many answer boxes"));
    check(figures.dialogs <= MaxDialogs, QStringLiteral("too many shell dialogs"));
    check(figures.upgradeFailure.isEmpty(), figures.upgradeFailure);
    return broken;
}
