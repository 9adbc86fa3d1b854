#include "mainwindow.h"

#include "deviceport.h"
#include "gimbalsubwidget.h"

#include <QMessageBox>

using namespace Koru;

void MainWindow::onReadyRead()
{
    if (port->bytesAvailable() <= 0)
        return;
    rxBuffer.append(port->readAll());
    // A bad header costs only its own bytes and the pass goes on: ending it there would let
    // a device that sends dense garbage hold its answers back and the buffer grow.
    rxBuffer.takeFrames([this](const Frame &frame) { dispatchFrame(frame); });
}

void MainWindow::dispatchFrame(const Frame &frame)
{
    const DecodedResponse response = applyResponse(frame, state);
    switch (response.kind) {
    case Response::Ignored:
    case Response::UpgradeAnswer:
    case Response::ScxsValues:
        break;
    case Response::ChannelValues:
        updateChUI();
        break;
    case Response::CalibrationStatus:
        updateCaliUI();
        break;
    case Response::ChannelReverse:
        updateChReverseUI(response.index);
        break;
    case Response::ChannelEntity:
        updateChEntity(response.index);
        break;
    case Response::ChannelMap:
        updateChMap(response.index);
        break;
    case Response::ProductionDate:
        showProductionDateBox(QStringLiteral("获取生产日期"),
                              QStringLiteral("       %1       ").arg(response.value));
        break;
    case Response::ProductionDateSet:
        showProductionDateBox(QStringLiteral("设置情况"),
                              response.flag ? QStringLiteral("          设置成功          ")
                                            : QStringLiteral("          设置失败          "));
        break;
    case Response::DeviceVersion:
        updateDeviceRow(response.source, 10);
        break;
    case Response::DeviceUid:
        updateDeviceRow(response.source, 12);
        break;
    case Response::ScpzValues:
        showScpzValues();
        break;
    case Response::GimbalChannel:
        if (response.index < gimbalSubWidgets.size())
            gimbalSubWidgets[response.index]->setChannel(state.gimbalCtlCh[response.index]);
        break;
    case Response::CameraConfig:
        updateCameraConfigUI();
        break;
    case Response::CameraConfigChanged:
        slot_sendGetCameraConfig_CMD();
        break;
    case Response::CameraIp:
        setCameraIpText(response.text);
        break;
    case Response::CameraFirmware:
        updateCameraFwVer(response.value);
        break;
    case Response::ShellText:
        shellReadstr = response.text;
        updateShellReadstrUI(response.source);
        break;
    }
}

// The frame was already taken out of the receive buffer, so the box's nested event loop
// may run the receive path again without seeing this frame twice.
void MainWindow::showProductionDateBox(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text);
    box.exec();
}

bool MainWindow::writePort(const uint8_t *bytes, int count)
{
    if (!port->isOpen())
        return false;
    return port->write(reinterpret_cast<const char *>(bytes), count) == count;
}

bool MainWindow::sendCmd(const uint8_t *payload, uint8_t length, uint8_t commandSet, uint8_t commandId,
                         uint8_t targetId)
{
    uint8_t frame[300] = {};
    const int size = buildFrame(frame, payload, length, commandSet, commandId, targetId);
    return writePort(frame, size);
}
