#include "mainwindow.h"

#include "deviceport.h"
#include "frame.h"
#include "protocolids.h"
#include "updatefileitem.h"
#include "whitebackground.h"

#include <QDebug>
#include <QLabel>

using namespace Koru;

namespace {

// The upgradable device types, asked for identity and version in this order.
const uint8_t PolledDeviceIds[] = {0x10, 0x13, 0x15, 0x17, 0x18, 0x1A, 0x1C, 0x1E, 0x20,
                                   0x22, 0x24, 0x26, 0x28, 0x2A, 0x2C, 0x2E, 0x30};

struct HeaderColumn
{
    const char *key;
    int x;
    int width;
};

const HeaderColumn HeaderColumns[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "硬件ID"), 66, 100},
    {QT_TRANSLATE_NOOP("MainWindow", "SN"), 186, 100},
    {QT_TRANSLATE_NOOP("MainWindow", "引导程序"), 306, 100},
    {QT_TRANSLATE_NOOP("MainWindow", "固件版本"), 416, 120},
    {QT_TRANSLATE_NOOP("MainWindow", "升级"), 640, 100},
};

constexpr int RowHeight = 70;
constexpr int FirstRowY = 50;
constexpr int RowX = 16;

// Byte offsets in the version reply.
constexpr int FirmwareVersionAt = 0;
constexpr int BootVersionAt = 4;
constexpr int HardwareIdAt = 8;

} // namespace

void MainWindow::initUpgradePage()
{
    upgradePage->resize(812, 442);
    fillWhite(upgradePage);

    auto *headBack = new QLabel(upgradePage);
    headBack->setObjectName(QStringLiteral("updateHeadBack"));
    headBack->setGeometry(16, 20, 812, 30);
    for (const HeaderColumn &column : HeaderColumns) {
        auto *label = new QLabel(upgradePage);
        label->setObjectName(QStringLiteral("boldLabel"));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(column.x, 25, column.width, 20);
        upgradeHeaderLabels.append(label);
    }
    retranslateUpgradePage();
}

void MainWindow::retranslateUpgradePage()
{
    for (int i = 0; i < upgradeHeaderLabels.size(); ++i)
        upgradeHeaderLabels[i]->setText(tr(HeaderColumns[i].key));
    for (UpdateFileItem *row : qAsConst(updateRows))
        row->retranslate();
}

// Only sends: the replies create and fill the rows when the receive path stores them.
void MainWindow::getDeviceInfo()
{
    if (!port->isOpen()) {
        qDebug() << "port is not Open";
        return;
    }
    for (uint8_t id : PolledDeviceIds) {
        if (!sendCmd(nullptr, 0, CommonSet, CMD_ID_UID, id))
            qDebug() << "getid error";
        if (!sendCmd(nullptr, 0, CommonSet, CMD_ID_VERSION, id))
            qDebug() << "getid error";
    }
}

void MainWindow::slot_getUidTimerOut()
{
    getDeviceInfo();
}

void MainWindow::updateDeviceRow(uint8_t deviceId, uint8_t kind)
{
    const int index = rowDevIds.indexOf(deviceId);
    UpdateFileItem *row = index >= 0 ? updateRows[index] : addDeviceRow(deviceId);
    if (kind == CMD_ID_VERSION) {
        row->setHardwareId(state.deviceVersion + HardwareIdAt);
        row->setBootVersion(readU32(state.deviceVersion + BootVersionAt));
        row->setFwVersion(readU32(state.deviceVersion + FirmwareVersionAt));
    } else if (kind == CMD_ID_UID) {
        row->setSn(state.deviceUid);
    }
}

// Rows keep the place of their device's first reply; they are never removed.
UpdateFileItem *MainWindow::addDeviceRow(uint8_t deviceId)
{
    const int before = updateRows.size();
    auto *row = new UpdateFileItem(upgradePage);
    row->move(RowX, before * RowHeight + FirstRowY);
    row->setRowNumber(before + 1);
    row->setDeviceId(deviceId);
    row->show();
    connect(row, &UpdateFileItem::sig_updateFile, this, &MainWindow::slot_updateFile);
    connect(row, &UpdateFileItem::sig_stopUpdateFile, this, &MainWindow::slot_stopUpFile);
    rowDevIds.append(deviceId);
    updateRows.append(row);
    retranslateUpgradePage();
    return row;
}

UpdateFileItem *MainWindow::updateRow(int rowNumber) const
{
    return rowNumber >= 1 && rowNumber <= updateRows.size() ? updateRows[rowNumber - 1] : nullptr;
}

void MainWindow::slot_updateFile(uint8_t updateAddr, int updateFileID, const QString &updatefilename)
{
    if (getIsUpdataing())
        return;
    // A stopped run stays inside its waits until its next acknowledgement; starting now
    // would take its file and its row from it.
    if (upgradeRunning()) {
        if (UpdateFileItem *row = updateRow(updateFileID))
            row->setMsg(tr("other upgrade is doing"));
        return;
    }
    qDebug() << "开始升级";
    setIniValue(QStringLiteral("updateAddr"), QString::number(updateAddr));
    this->updateAddr = updateAddr;
    this->updateFileID = updateFileID;
    this->updatefilename = updatefilename;
    upgradeFile.close();
    slot_upFile();
}
