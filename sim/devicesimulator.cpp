#include "devicesimulator.h"

#include <algorithm>

namespace Koru {
namespace {

constexpr int ProductionListIntervalMs = 1000;
constexpr int MaxShellChunk = 240; // bytes of shell text per answer frame
constexpr int MaxPieceSize = 7;
// Split output still moves about as fast as a full-speed USB link: a millisecond's pause
// after every 64 bytes, so a fast live-value stream does not queue up behind its pieces.
constexpr int BytesPerMs = 64;
constexpr int MaxNoiseBytes = 4;
// A stream that fell further behind than this (a stalled event loop) skips ahead instead of
// sending the missed reports in one burst.
constexpr int MaxLiveCatchUpMs = 100;

const char HelpLine[] = "commands: help, rc_pc 0|1, model_default, version\r\n";
const char HelpDetailLine[] = "rc_pc 1 streams the channel values, model_default restores "
                              "the channel settings\r\n";

QString versionText(uint32_t version)
{
    return QStringLiteral("%1.%2.%3")
        .arg((version >> 16) & 0xFF)
        .arg((version >> 8) & 0xFF)
        .arg(version & 0xFF);
}

quint32 seedFor(quint32 seed)
{
    return seed != 0 ? seed : QRandomGenerator::global()->generate();
}

} // namespace

DeviceSimulator::Device::Device(uint8_t id, const SimulatorOptions &options)
    : profile(DeviceProfile::forDevice(id)), bootLoader(options)
{
    bootLoader.setInApplication(options.startInApplication);
}

DeviceSimulator::DeviceSimulator(const SimulatorOptions &options, QObject *parent)
    : QObject(parent), opts(options), random(seedFor(options.seed))
{
    qRegisterMetaType<uint8_t>("uint8_t"); // for queued connections and spies by signature
    uptime.start();
    connect(&pacer, &OutputPacer::ready, this, &DeviceSimulator::output);
    connect(&liveTimer, &QTimer::timeout, this, &DeviceSimulator::sendLiveValues);
    connect(&productionTimer, &QTimer::timeout, this, &DeviceSimulator::sendProductionLists);
    productionTimer.setInterval(ProductionListIntervalMs);
    liveTimer.setTimerType(Qt::PreciseTimer);
    applyLiveRate();
}

void DeviceSimulator::setOptions(const SimulatorOptions &options)
{
    if (options.seed != opts.seed)
        random.seed(seedFor(options.seed));
    if (options.startInApplication != opts.startInApplication) {
        for (auto &entry : devices)
            entry.second.bootLoader.setInApplication(options.startInApplication);
    }
    opts = options;
    applyLiveRate();
}

// One tick per report period in whole milliseconds; each tick sends every report that is due
// by the clock, so a rate that does not divide 1000, or a late tick, still comes out right.
void DeviceSimulator::applyLiveRate()
{
    const int rate = std::clamp(opts.liveValueRateHz, 0, 1000);
    liveStartMs = uptime.elapsed();
    liveReportsSent = 0;
    if (!liveRequested || rate == 0)
        liveTimer.stop();
    else
        liveTimer.start(1000 / rate);
}

DeviceSimulator::Device &DeviceSimulator::device(uint8_t id)
{
    return devices.try_emplace(id, id, opts).first->second;
}

QByteArray DeviceSimulator::completedImage(uint8_t deviceId) const
{
    const auto found = devices.find(deviceId);
    return found == devices.end() ? QByteArray() : found->second.bootLoader.completedImage();
}

void DeviceSimulator::receive(const QByteArray &bytes)
{
    emit input(bytes);
    reassembler.append(bytes);
    reassembler.takeFrames([this](const Frame &frame) { dispatch(frame); });
}

void DeviceSimulator::dropLink()
{
    reassembler.clear();
    pacer.clear();
}

void DeviceSimulator::dispatch(const Frame &frame)
{
    const uint8_t target = frame.target();
    if (!frameEndValid(frame.data(), frame.length) || !opts.deviceIds.contains(target))
        return;
    if (device(target).restartingUntilMs > uptime.elapsed())
        return; // a module restarting into its boot loader hears nothing
    const QByteArray request = frame.payloadBytes();
    const uint8_t set = frame.commandSet();
    const uint8_t id = frame.commandId();
    std::optional<QByteArray> answer;
    if (set == RemoteControllerSet && (target == RemoteControllerId || target == ModuleSideId))
        answer = remote.handle(id, request);
    else if (set == GimbalSet && target == GimbalCameraId)
        answer = gimbal.handle(id, request);
    else if (set == CommonSet)
        answer = handleCommon(target, id, request);
    if (answer)
        reply(target, set, id, *answer);
}

std::optional<QByteArray> DeviceSimulator::handleCommon(uint8_t deviceId, uint8_t commandId,
                                                        const QByteArray &request)
{
    Device &state = device(deviceId);
    switch (commandId) {
    case CMD_ID_VERSION:
        return state.profile.versionPayload();
    case CMD_ID_UID:
        return state.profile.uidPayload();
    case CMD_ID_SHELL_TEXT:
        runShell(deviceId, request);
        break;
    case CMD_ID_UPGRADE_START:
        return startUpgrade(deviceId, request);
    case CMD_ID_UPGRADE_DATA:
    case CMD_ID_UPGRADE_END:
        for (const BootLoaderAnswer &answer : state.bootLoader.answer(commandId, request))
            reply(deviceId, CommonSet, answer.commandId, answer.payload);
        break;
    case CMD_ID_RESET:
        resetDevice(deviceId);
        break;
    case CMD_ID_SCPZ_VALUES:
        if (deviceId == RemoteControllerId)
            production.setValue(request);
        break;
    case CMD_ID_SCXS_VALUES:
        if (deviceId == RemoteControllerId && !request.isEmpty())
            setProductionDisplay(request[0] == 1);
        break;
    default:
        break;
    }
    return std::nullopt;
}

QByteArray DeviceSimulator::startUpgrade(uint8_t deviceId, const QByteArray &request)
{
    BootLoader &loader = device(deviceId).bootLoader;
    const bool wasApplication = loader.inApplication();
    const QByteArray answer = loader.start(request);
    if (!wasApplication || loader.inApplication())
        return answer;
    if (deviceId == RemoteControllerId) {
        // The controller's application stops everything it was doing and reboots once
        // the answer is out; only its boot loader comes back on the port.
        setStreaming(false);
        setProductionDisplay(false);
        QTimer::singleShot(opts.processingDelayMs + opts.restartDelayMs, this,
                           &DeviceSimulator::bootLoaderRestart);
    } else {
        // A module reboots behind the controller, whose port stays.
        device(deviceId).restartingUntilMs = uptime.elapsed() + opts.processingDelayMs
                                             + opts.restartDelayMs + opts.restartDowntimeMs;
    }
    return answer;
}

void DeviceSimulator::resetDevice(uint8_t deviceId)
{
    Device &state = device(deviceId);
    if (!state.bootLoader.reset())
        return;
    ++state.profile.firmwareVersion; // the new image reports the next patch version
    emit upgradeCompleted(deviceId, state.bootLoader.completedImage());
}

void DeviceSimulator::runShell(uint8_t deviceId, const QByteArray &request)
{
    const QString command = QString::fromUtf8(request).simplified();
    for (const QString &line : shellReply(deviceId, command)) {
        const QByteArray text = line.toUtf8();
        for (int at = 0; at < text.size(); at += MaxShellChunk)
            reply(deviceId, CommonSet, CMD_ID_SHELL_TEXT, text.mid(at, MaxShellChunk));
    }
}

QStringList DeviceSimulator::shellReply(uint8_t deviceId, const QString &command)
{
    const QStringList words = command.split(QLatin1Char(' '));
    if (command.isEmpty())
        return {};
    if (command == QLatin1String("help"))
        return {QLatin1String(HelpLine), QLatin1String(HelpDetailLine)};
    if (words.first() == QLatin1String("rc_pc")) {
        if (words.size() != 2 || (words[1] != QLatin1String("0") && words[1] != QLatin1String("1")))
            return {QStringLiteral("usage: rc_pc 0|1\r\n")};
        // The assistant sends these on every page switch: the devices take them quietly.
        if (deviceId == RemoteControllerId)
            setStreaming(words[1] == QLatin1String("1"));
        return {};
    }
    if (command == QLatin1String("model_default")) {
        remote.restoreDefaults();
        return {};
    }
    if (command == QLatin1String("version")) {
        const DeviceProfile &profile = device(deviceId).profile;
        return {QStringLiteral("fw %1 boot %2 hw %3\r\n")
                    .arg(versionText(profile.firmwareVersion), versionText(profile.bootLoaderVersion),
                         QString::fromLatin1(profile.hardwareId))};
    }
    return {QStringLiteral("unknown command: %1\r\n").arg(command)};
}

void DeviceSimulator::reply(uint8_t deviceId, uint8_t set, uint8_t id, const QByteArray &payload)
{
    send(makeFrame(deviceId, AssistantId, set, id, payload, opts.checkMode), opts.processingDelayMs);
}

void DeviceSimulator::send(const QByteArray &frame, int delayMs)
{
    const QByteArray bytes = opts.noise ? noise() + frame : frame;
    if (!opts.splitOutput) {
        pacer.push(bytes, delayMs);
        return;
    }
    for (int at = 0; at < bytes.size();) {
        const int piece = int(random.bounded(1, MaxPieceSize + 1));
        splitBytesThisMs += piece;
        const int gapMs = splitBytesThisMs >= BytesPerMs ? 1 : 0;
        if (gapMs)
            splitBytesThisMs = 0;
        pacer.push(bytes.mid(at, piece), at == 0 ? delayMs : 0, gapMs);
        at += piece;
    }
}

QByteArray DeviceSimulator::noise()
{
    QByteArray bytes(int(random.bounded(1, MaxNoiseBytes + 1)), '\0');
    for (char &byte : bytes) {
        // Uniform over every value except the start byte.
        uint32_t value = random.bounded(255u);
        byte = char(value >= FrameStart ? value + 1 : value);
    }
    return bytes;
}

void DeviceSimulator::setStreaming(bool on)
{
    if (on == liveRequested)
        return;
    liveRequested = on;
    applyLiveRate();
}

void DeviceSimulator::setProductionDisplay(bool on)
{
    if (!on) {
        productionTimer.stop();
    } else if (!productionTimer.isActive()) {
        productionTimer.start();
        sendProductionLists();
    }
}

// Report n carries the positions at n / rate seconds after the stream started.
void DeviceSimulator::sendLiveValues()
{
    const int rate = std::clamp(opts.liveValueRateHz, 1, 1000);
    const qint64 elapsedMs = uptime.elapsed() - liveStartMs;
    const qint64 due = elapsedMs * rate / 1000;
    liveReportsSent = std::max(liveReportsSent, due - qint64(MaxLiveCatchUpMs) * rate / 1000);
    while (liveReportsSent < due) {
        ++liveReportsSent;
        const double at = double(liveStartMs) / 1000.0 + double(liveReportsSent) / rate;
        send(makeFrame(RemoteControllerId, AssistantId, RemoteControllerSet, CMD_ID_CH_VALUES,
                       remote.liveValues(at), opts.checkMode),
             0);
    }
}

void DeviceSimulator::sendProductionLists()
{
    reply(RemoteControllerId, CommonSet, CMD_ID_SCPZ_VALUES, production.configurationList());
    reply(RemoteControllerId, CommonSet, CMD_ID_SCXS_VALUES, production.displayList(seconds()));
}

} // namespace Koru
