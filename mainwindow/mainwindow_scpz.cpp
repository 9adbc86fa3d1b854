#include "mainwindow.h"

#include "frame.h"
#include "mylineedit.h"
#include "mypushbutton.h"
#include "protocolids.h"
#include "scpzwidget.h"

#include <QDate>
#include <QDebug>

#include <cstring>

using namespace Koru;

namespace {

constexpr int ScpzRecordSize = 5;

MyLineEdit *createDateEdit(QWidget *parent, const QPoint &position, const QString &text, bool enabled)
{
    auto *edit = new MyLineEdit(parent);
    edit->setGeometry(QRect(position, QSize(100, 20)));
    edit->setText(text);
    edit->setEnabled(enabled);
    return edit;
}

MyPushButton *createDateButton(QWidget *parent, const QPoint &position, const QString &text)
{
    auto *button = new MyPushButton(parent);
    button->setGeometry(QRect(position, QSize(40, 20)));
    button->setFocusPolicy(Qt::NoFocus);
    button->setText(text);
    return button;
}

} // namespace

// The captions are fixed factory texts; they do not follow the language selector. The
// system date is taken once, here.
void MainWindow::createProductionDatePanel()
{
    createDateEdit(scpzWidget, QPoint(550, 40), QStringLiteral("当前生产日期"), false);
    createDateEdit(scpzWidget, QPoint(650, 40), QString(), true);
    MyPushButton *inquireButton = createDateButton(scpzWidget, QPoint(750, 40), QStringLiteral("查询"));
    connect(inquireButton, &MyPushButton::sig_clicked, this, &MainWindow::slot_inquiredateClicked);

    createDateEdit(scpzWidget, QPoint(550, 60), QStringLiteral("当前系统时间"), false);
    createDateEdit(scpzWidget, QPoint(650, 60), QDate::currentDate().toString(QStringLiteral("yyyyMMdd")),
                   false);
    MyPushButton *setButton = createDateButton(scpzWidget, QPoint(750, 60), QStringLiteral("设置"));
    connect(setButton, &MyPushButton::sig_clicked, this, &MainWindow::slot_setdateClicked);
}

// The production display switch has no state of its own: every page change sends it anew.
void MainWindow::sendScxsOn()
{
    const uint8_t on = 1;
    sendCmd(&on, 1, CommonSet, CMD_ID_SCXS_VALUES, RemoteControllerId);
}

void MainWindow::sendScxsOff()
{
    const uint8_t off = 0;
    sendCmd(&off, 1, CommonSet, CMD_ID_SCXS_VALUES, RemoteControllerId);
}

bool MainWindow::sendScpzValue(uint8_t wireId, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    uint8_t payload[ScpzRecordSize] = {wireId};
    writeU32(payload + 1, bits);
    return sendCmd(payload, ScpzRecordSize, CommonSet, CMD_ID_SCPZ_VALUES, RemoteControllerId);
}

// Ids are counted from 0 here and from 1 on the wire.
void MainWindow::slot_sendScpzCmd(uint8_t id, float value)
{
    if (!sendScpzValue(uint8_t(id + 1), value))
        qDebug() << "slot_sendScpzCmd error:mainwindow_scpz";
}

void MainWindow::showScpzValues()
{
    for (const ScValue &entry : qAsConst(state.scpzValues))
        scpzWidget->setValue(entry.id, QString::number(double(entry.value), 'g', 6));
}

void MainWindow::slot_inquiredateClicked()
{
    sendCmd(nullptr, 0, RemoteControllerSet, CMD_ID_PRODUCTION_DATE, RemoteControllerId);
}

// Sends the date of the click, not the one the panel shows since it was built.
void MainWindow::slot_setdateClicked()
{
    const uint32_t date = QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toUInt();
    qDebug() << date;
    uint8_t payload[4] = {};
    writeU32(payload, date);
    sendCmd(payload, sizeof payload, RemoteControllerSet, CMD_ID_SET_PRODUCTION_DATE, RemoteControllerId);
}
