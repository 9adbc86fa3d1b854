#include "devicelist.h"

#include "devicelink.h"
#include "devicetypes.h"
#include "frame.h"
#include "options.h"
#include "output.h"
#include "versiontext.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <map>

using namespace Koru;

namespace {

// --list waits at least the shortest time and at most the longest; in between it ends once
// no answer came for the quiet time.
constexpr int ListShortestMs = 1000;
constexpr int ListQuietMs = 300;
constexpr int ListLongestMs = 2000;

// Text a device reported, made safe for a terminal.
QString printable(QString text)
{
    for (QChar &c : text) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    return text;
}

// The devices that answer the poll DeviceLink sends when it opens the port.
std::map<uint8_t, DeviceInfo> collectDevices(DeviceLink &link)
{
    std::map<uint8_t, DeviceInfo> devices;
    QEventLoop loop;
    QTimer longest;
    // Restarted by every answer, but never due before the shortest time is over.
    QTimer quiet;
    for (QTimer *timer : {&longest, &quiet}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer); // a coarse one may end the wait early
        QObject::connect(timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    }
    QElapsedTimer clock;
    QObject::connect(&link, &DeviceLink::responseReceived, &link, [&](const DecodedResponse &response) {
        const auto known = devices.find(response.source);
        DeviceInfo device = known == devices.end() ? DeviceInfo() : known->second;
        if (!takeDeviceAnswer(response, link.state(), &device))
            return;
        devices[response.source] = device;
        quiet.start(int(qMax<qint64>(ListQuietMs, ListShortestMs - clock.elapsed())));
    });
    clock.start();
    longest.start(ListLongestMs);
    loop.exec();
    QObject::disconnect(&link, &DeviceLink::responseReceived, &link, nullptr);
    return devices;
}

QJsonValue jsonText(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonArray devicesJson(const std::map<uint8_t, DeviceInfo> &devices)
{
    QJsonArray array;
    for (const auto &entry : devices) {
        const DeviceInfo &device = entry.second;
        array.append(QJsonObject{{QStringLiteral("id"), int(entry.first)},
                                 {QStringLiteral("type"), deviceTypeName(entry.first)},
                                 {QStringLiteral("hardwareId"), jsonText(device.hardwareId)},
                                 {QStringLiteral("serialNumber"), jsonText(device.serialNumber)},
                                 {QStringLiteral("bootLoaderVersion"), jsonText(device.bootLoaderVersion)},
                                 {QStringLiteral("firmwareVersion"), jsonText(device.firmwareVersion)}});
    }
    return array;
}

QJsonArray controllersJson(const QList<PortInfo> &controllers)
{
    QJsonArray array;
    for (const PortInfo &controller : controllers)
        array.append(QJsonObject{{QStringLiteral("port"), controller.portName},
                                 {QStringLiteral("usbSerial"), jsonText(controller.serialNumber)}});
    return array;
}

// Columns two blanks apart, each as wide as its widest text.
void printTable(Output &output, const QVector<QStringList> &rows)
{
    QVector<int> widths(rows.first().size(), 0);
    for (const QStringList &row : rows) {
        for (int column = 0; column < row.size(); ++column)
            widths[column] = qMax(widths[column], row[column].size());
    }
    for (const QStringList &row : rows) {
        QString line;
        for (int column = 0; column < row.size(); ++column) {
            const bool last = column == row.size() - 1;
            line += last ? row[column] : row[column].leftJustified(widths[column] + 2);
        }
        output.line(line);
    }
}

QString orDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

void printDevices(Output &output, const std::map<uint8_t, DeviceInfo> &devices)
{
    QVector<QStringList> rows;
    rows.append({FlashText::tr("TYPE"), FlashText::tr("ID"), FlashText::tr("HARDWARE ID"), FlashText::tr("SERIAL NUMBER"),
                 FlashText::tr("BOOT LOADER"), FlashText::tr("FIRMWARE")});
    for (const auto &entry : devices) {
        const DeviceInfo &device = entry.second;
        rows.append({deviceTypeName(entry.first), hexId(entry.first), orDash(device.hardwareId),
                     orDash(device.serialNumber), orDash(device.bootLoaderVersion),
                     orDash(device.firmwareVersion)});
    }
    printTable(output, rows);
}

void printControllers(Output &output, const QList<PortInfo> &controllers)
{
    QVector<QStringList> rows;
    rows.append({FlashText::tr("CONTROLLER PORT"), FlashText::tr("USB SERIAL")});
    for (const PortInfo &controller : controllers)
        rows.append({controller.portName, orDash(controller.serialNumber)});
    printTable(output, rows);
}

} // namespace

bool takeDeviceAnswer(const DecodedResponse &response, const DeviceState &state, DeviceInfo *device)
{
    if (response.kind == Response::DeviceVersion) {
        device->hardwareId = printable(hardwareIdText(state.deviceVersion));
        device->bootLoaderVersion = versionText(readU32(state.deviceVersion + BootVersionAt));
        device->firmwareVersion = versionText(readU32(state.deviceVersion + FirmwareVersionAt));
        return true;
    }
    if (response.kind == Response::DeviceUid) {
        device->serialNumber = serialNumberText(state.deviceUid, QLatin1Char(' '));
        return true;
    }
    return false;
}

int listDevices(DeviceLink &link, const QList<PortInfo> &controllers, Output &output)
{
    const std::map<uint8_t, DeviceInfo> devices = collectDevices(link);
    const bool none = devices.empty();
    const QString problem = none ? FlashText::tr("no device answered on %1").arg(link.portName()) : QString();
    if (output.isJson()) {
        output.document({{QStringLiteral("exitCode"), none ? ExitNoAnswer : ExitSuccess},
                         {QStringLiteral("error"), none ? QJsonValue(QStringLiteral("no-answer")) : QJsonValue()},
                         {QStringLiteral("message"), problem},
                         {QStringLiteral("controllers"), controllersJson(controllers)},
                         {QStringLiteral("devices"), devicesJson(devices)}});
    } else {
        if (!none) {
            printDevices(output, devices);
            output.line({});
        }
        printControllers(output, controllers);
    }
    if (none) {
        output.problem(problem);
        return ExitNoAnswer;
    }
    return ExitSuccess;
}
