#include "mainwindow.h"

#include "gimbalsubwidget.h"
#include "protocolids.h"

#include <QLabel>

using namespace Koru;

namespace {

// Row labels by function index; the index is what the device exchanges.
const char *const GimbalFunctionKeys[GimbalFunctionCount] = {
    QT_TRANSLATE_NOOP("MainWindow", "Gimbal Mode"), QT_TRANSLATE_NOOP("MainWindow", " HDR"),
    QT_TRANSLATE_NOOP("MainWindow", " REC"),        QT_TRANSLATE_NOOP("MainWindow", " PIC"),
    QT_TRANSLATE_NOOP("MainWindow", "Color Mode"),  QT_TRANSLATE_NOOP("MainWindow", "Center"),
    QT_TRANSLATE_NOOP("MainWindow", "Pitch"),       QT_TRANSLATE_NOOP("MainWindow", "Yaw"),
    QT_TRANSLATE_NOOP("MainWindow", "Focus"),       QT_TRANSLATE_NOOP("MainWindow", "Zoom"),
    QT_TRANSLATE_NOOP("MainWindow", "Auto Focus"),
};

constexpr int RowTop = 25;
constexpr int RowPitch = 25;

} // namespace

void MainWindow::initGimbalPage()
{
    makeWhitePage(gimbalPage);
    chConfigLabel = new QLabel(tr("CH Config"), gimbalPage);
    chConfigLabel->setObjectName(QStringLiteral("ch_config"));
    chConfigLabel->setGeometry(0, 4, 120, 16);
    chConfigLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    for (int index = 0; index < GimbalFunctionCount; ++index) {
        auto *row = new GimbalSubWidget(gimbalPage);
        row->move(2, RowTop + RowPitch * index);
        row->setId(index);
        connect(row, &GimbalSubWidget::sig_gimbalCTL_CH_Change, this,
                &MainWindow::slot_sendSetgimbalCTL_CH_CMD);
        gimbalSubWidgets.append(row);
    }
    initCameraWidgets();
}

void MainWindow::retranslateGimbalPage()
{
    for (int index = 0; index < gimbalSubWidgets.size(); ++index)
        gimbalSubWidgets[index]->setLabelText(tr(GimbalFunctionKeys[index]));
    chConfigLabel->setText(tr("CH Config"));
    retranslateCameraWidgets();
}

// Page entry: the periodic burst, then the camera state once more whether or not the
// camera's IP was already received.
void MainWindow::refreshGimbalPage()
{
    slot_sendGetGimbalCTL_CH_Cmd();
    slot_sendGetCameraConfig_CMD();
    slot_sendGetIP_CMD();
    slot_sendGetCameraFWVer_CMD();
}

void MainWindow::slot_sendGetGimbalCTL_CH_Cmd()
{
    for (uint8_t function = 0; function < GimbalFunctionCount; ++function)
        sendGimbalCmd(CMD_ID_GET_GIMBAL_CH, &function, 1);
    sendCameraQueries();
}

// Configuration and IP are polled only until the camera has answered once.
void MainWindow::sendCameraQueries()
{
    if (!state.ipReceived) {
        slot_sendGetCameraConfig_CMD();
        slot_sendGetIP_CMD();
    }
    slot_sendGetCameraFWVer_CMD();
}

void MainWindow::slot_sendSetgimbalCTL_CH_CMD(int id, uint8_t ch)
{
    const uint8_t payload[] = {uint8_t(id), ch};
    sendGimbalCmd(CMD_ID_SET_GIMBAL_CH, payload, sizeof payload);
}

bool MainWindow::sendGimbalCmd(uint8_t commandId, const uint8_t *payload, uint8_t length)
{
    return sendCmd(payload, length, GimbalSet, commandId, GimbalCameraId);
}
