#include "mainwindow.h"

#include "chpercent.h"
#include "chsubwidget.h"
#include "crosswidget.h"
#include "frame.h"
#include "whitebackground.h"

#include <QPoint>

using namespace Koru;

namespace {

constexpr int RowsPerColumn = 5;

// Rows 0..4, 5..9 and 10..15 fill three columns; the third column starts higher because
// the stick displays only cover the first two.
QPoint channelRowPosition(int row)
{
    if (row < RowsPerColumn)
        return {20, 189 + 51 * row};
    if (row < 2 * RowsPerColumn)
        return {294, 51 * row - 66};
    return {568, 51 * row - 470};
}

// Runs apply on row id, or on every row for -1; any other id outside the rows does nothing.
template <typename Apply> void forChannelRows(int id, const QList<ChSubWidget *> &rows, Apply apply)
{
    if (id == -1) {
        for (int row = 0; row < rows.size(); ++row)
            apply(row, rows[row]);
    } else if (id >= 0 && id < rows.size()) {
        apply(id, rows[id]);
    }
}

uint8_t channelNumber(int index)
{
    return static_cast<uint8_t>(index + 1);
}

} // namespace

void MainWindow::makeWhitePage(QWidget *page)
{
    page->resize(844, 442);
    fillWhite(page);
}

void MainWindow::initChannelPage()
{
    makeWhitePage(channelPage);
    for (int index = 0; index < ChannelCount; ++index) {
        auto *row = new ChSubWidget(channelPage);
        row->move(channelRowPosition(index));
        row->setId(index);
        connect(row, &ChSubWidget::sig_forwardValueChange, this, &MainWindow::slot_forwardValueChange);
        connect(row, &ChSubWidget::sig_mapValueChange, this, &MainWindow::slot_mapValueChange);
        connect(row, &ChSubWidget::sig_chValueChange, this, &MainWindow::slot_chValueChange);
        chSubWidgets.append(row);
    }
    leftCross = new CrossWidget(channelPage);
    leftCross->move(60, 10);
    rightCross = new CrossWidget(channelPage);
    rightCross->move(315, 10);
    initCalibrationControls();
}

void MainWindow::updateChUI()
{
    // Horizontal position from xCh, vertical from yCh (channel indices).
    const auto showStick = [this](CrossWidget *cross, int xCh, int yCh) {
        const int16_t *v = state.chValues;
        const StickPercent x =
            chStickPercent(v[xCh], int16_t(state.chMin[xCh]), int16_t(state.chMid[xCh]), state.chMax[xCh]);
        const StickPercent y =
            chStickPercent(v[yCh], int16_t(state.chMin[yCh]), int16_t(state.chMid[yCh]), state.chMax[yCh]);
        cross->setPosition(x.x, y.y, v[xCh], v[yCh]);
    };
    showStick(leftCross, 3, 2);
    showStick(rightCross, 0, 1);
    for (int ch = 0; ch < chSubWidgets.size(); ++ch) {
        const int16_t percent = chBarPercent(state.chValues[ch], int16_t(state.chMin[ch]),
                                             int16_t(state.chMid[ch]), int16_t(state.chMax[ch]));
        chSubWidgets[ch]->setChValue(percent, state.chValues[ch]);
    }
}

void MainWindow::updateChReverseUI(int id)
{
    forChannelRows(id, chSubWidgets,
                   [this](int ch, ChSubWidget *row) { row->setForwardValue(state.chReverse[ch] == 1); });
}

void MainWindow::updateChEntity(int id)
{
    forChannelRows(id, chSubWidgets, [this](int ch, ChSubWidget *row) {
        row->setEntity(state.chEntityType[ch], state.chEntityId[ch]);
    });
}

void MainWindow::updateChMap(int id)
{
    forChannelRows(id, chSubWidgets, [this](int ch, ChSubWidget *row) {
        row->setMinValue(state.chMin[ch]);
        row->setMidValue(state.chMid[ch]);
        row->setMaxValue(state.chMax[ch]);
    });
}

// Direction, source and mapping of every channel, from the controller and from the
// module side; both answer into the same arrays.
void MainWindow::slot_sendReverseStatusCmd()
{
    const uint8_t queries[] = {CMD_ID_GET_REVERSE, CMD_ID_GET_ENTITY, CMD_ID_GET_MAP};
    for (int index = 0; index < ChannelCount; ++index) {
        const uint8_t ch = channelNumber(index);
        for (uint8_t target : {RemoteControllerId, ModuleSideId}) {
            for (uint8_t query : queries)
                sendCmd(&ch, 1, RemoteControllerSet, query, target);
        }
    }
}

void MainWindow::slot_forwardValueChange(int id, bool forwardValue)
{
    const uint8_t payload[] = {channelNumber(id), uint8_t(forwardValue ? 0x01 : 0xFF)};
    sendCmd(payload, sizeof payload, RemoteControllerSet, CMD_ID_SET_REVERSE, RemoteControllerId);
}

void MainWindow::slot_mapValueChange(int id, uint16_t minValue, uint16_t midValue, uint16_t maxValue)
{
    uint8_t payload[7] = {channelNumber(id)};
    writeU16(payload + 1, minValue);
    writeU16(payload + 3, midValue);
    writeU16(payload + 5, maxValue);
    sendCmd(payload, sizeof payload, RemoteControllerSet, CMD_ID_SET_MAP, RemoteControllerId);
}

void MainWindow::slot_chValueChange(int id, uint8_t type, uint8_t entityId)
{
    const uint8_t payload[] = {channelNumber(id), type, entityId};
    sendCmd(payload, sizeof payload, RemoteControllerSet, CMD_ID_SET_ENTITY, RemoteControllerId);
}

void MainWindow::slot_resetCaliClieked()
{
    sendShellText(QStringLiteral("model_default"), RemoteControllerId);
}

void MainWindow::rcPcOn()
{
    sendRcPc(QStringLiteral("rc_pc 1"));
}

void MainWindow::rcPcOff()
{
    sendRcPc(QStringLiteral("rc_pc 0"));
}

void MainWindow::sendRcPc(const QString &text)
{
    sendShellText(text, RemoteControllerId);
    sendShellText(text, ModuleSideId);
}
