#pragma once

#include "bootloader.h"
#include "deviceprofile.h"
#include "framereassembler.h"
#include "gimbalcamera.h"
#include "outputpacer.h"
#include "productionbench.h"
#include "remotecontroller.h"
#include "simulatoroptions.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QRandomGenerator>
#include <QStringList>
#include <QTimer>

#include <map>
#include <optional>

namespace Koru {

// The devices behind the remote controller's USB port, without any transport: bytes the
// host sent go in through receive(), the devices' frames come out through output().
class DeviceSimulator : public QObject
{
    Q_OBJECT

public:
    explicit DeviceSimulator(const SimulatorOptions &options = {}, QObject *parent = nullptr);

    SimulatorOptions options() const { return opts; }
    void setOptions(const SimulatorOptions &options);

    void receive(const QByteArray &bytes);
    // The cable was pulled: half-received requests and answers not yet sent are lost.
    void dropLink();

    // The last image whose upgrade ended with a verified end command and a reset.
    QByteArray completedImage(uint8_t deviceId) const;
    bool isStreaming() const { return liveTimer.isActive(); }

signals:
    // Every byte the host sent, as it arrives, before it is cut into frames.
    void input(const QByteArray &bytes);
    void output(const QByteArray &bytes);
    void upgradeCompleted(uint8_t deviceId, const QByteArray &image);
    // The remote controller has left its application for the boot loader: its USB port
    // goes away and comes back.
    void bootLoaderRestart();

private:
    struct Device
    {
        Device(uint8_t id, const SimulatorOptions &options);

        DeviceProfile profile;
        BootLoader bootLoader;
        qint64 restartingUntilMs = 0; // uptime at which a module's restart ends
    };

    Device &device(uint8_t id);
    void dispatch(const Frame &frame);
    std::optional<QByteArray> handleCommon(uint8_t deviceId, uint8_t commandId, const QByteArray &request);
    QByteArray startUpgrade(uint8_t deviceId, const QByteArray &request);
    void resetDevice(uint8_t deviceId);
    void runShell(uint8_t deviceId, const QByteArray &request);
    QStringList shellReply(uint8_t deviceId, const QString &command);

    void reply(uint8_t deviceId, uint8_t set, uint8_t id, const QByteArray &payload);
    void send(const QByteArray &frame, int delayMs);
    QByteArray noise();

    void setStreaming(bool on);
    void setProductionDisplay(bool on);
    void sendLiveValues();
    void sendProductionLists();
    void applyLiveRate();
    double seconds() const { return double(uptime.elapsed()) / 1000.0; }

    SimulatorOptions opts;
    FrameReassembler reassembler;
    std::map<uint8_t, Device> devices;
    RemoteController remote{opts};
    GimbalCamera gimbal;
    ProductionBench production;
    // Parented, so that they follow the simulator to another thread.
    OutputPacer pacer{this};
    QTimer liveTimer{this};
    QTimer productionTimer{this};
    QElapsedTimer uptime;
    QRandomGenerator random;
    int splitBytesThisMs = 0;
    bool liveRequested = false; // "rc_pc 1" is in force
    qint64 liveStartMs = 0;     // uptime at which the live stream (re)started
    qint64 liveReportsSent = 0; // live reports sent since then
};

} // namespace Koru
