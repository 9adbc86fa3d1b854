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

// One device's answers to the identity and version poll, as shown. The serial number comes
// from the identity answer, the rest from the version answer; a text stays empty until its
// answer arrives.
struct DeviceInfo
{
    QString hardwareId;
    QString serialNumber;
    QString bootLoaderVersion;
    QString firmwareVersion;
};

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
        const DeviceState &state = link.state();
        if (response.kind == Response::DeviceVersion) {
            DeviceInfo &device = devices[response.source];
            device.hardwareId = printable(hardwareIdText(state.deviceVersion));
            device.bootLoaderVersion = versionText(readU32(state.deviceVersion + BootVersionAt));
            device.firmwareVersion = versionText(readU32(state.deviceVersion + FirmwareVersionAt));
        } else if (response.kind == Response::DeviceUid) {
            devices[response.source].serialNumber = serialNumberText(state.deviceUid, QLatin1Char(' '));
        } else {
            return;
        }
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

void printJson(Output &output, const std::map<uint8_t, DeviceInfo> &devices)
{
    QJsonArray array;
    for (const auto &entry : devices) {
        const DeviceInfo &device = entry.second;
        QJsonObject object;
        object.insert(QStringLiteral("id"), int(entry.first));
        object.insert(QStringLiteral("type"), deviceTypeName(entry.first));
        object.insert(QStringLiteral("hardwareId"), jsonText(device.hardwareId));
        object.insert(QStringLiteral("serialNumber"), jsonText(device.serialNumber));
        object.insert(QStringLiteral("bootLoaderVersion"), jsonText(device.bootLoaderVersion));
        object.insert(QStringLiteral("firmwareVersion"), jsonText(device.firmwareVersion));
        array.append(object);
    }
    output.text(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
}

void printTable(Output &output, const std::map<uint8_t, DeviceInfo> &devices)
{
    QVector<QStringList> rows;
    rows.append({FlashText::tr("TYPE"), FlashText::tr("ID"), FlashText::tr("HARDWARE ID"), FlashText::tr("SERIAL NUMBER"),
                 FlashText::tr("BOOT LOADER"), FlashText::tr("FIRMWARE")});
    const auto orDash = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    for (const auto &entry : devices) {
        const DeviceInfo &device = entry.second;
        rows.append({deviceTypeName(entry.first), hexId(entry.first), orDash(device.hardwareId),
                     orDash(device.serialNumber), orDash(device.bootLoaderVersion),
                     orDash(device.firmwareVersion)});
    }
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

} // namespace

int listDevices(DeviceLink &link, bool json, Output &output)
{
    const std::map<uint8_t, DeviceInfo> devices = collectDevices(link);
    if (json)
        printJson(output, devices);
    else if (!devices.empty())
        printTable(output, devices);
    if (devices.empty()) {
        output.problem(FlashText::tr("no device answered on %1").arg(link.portName()));
        return ExitNoAnswer;
    }
    return ExitSuccess;
}

