#include "productionpage.h"

#include "devicelink.h"
#include "frame.h"
#include "mylineedit.h"
#include "mypushbutton.h"

#include <QDate>
#include <QDebug>
#include <QMessageBox>

using namespace Koru;

namespace {

constexpr qint64 AnswerTimeoutMs = 3000;

// A caption edit is named by its caption, a value edit by what it holds.
MyLineEdit *createDateEdit(QWidget *parent, const QPoint &position, const QString &text, bool enabled,
                           const QString &name = {})
{
    auto *edit = new MyLineEdit(parent);
    edit->setAccessibleName(name.isEmpty() ? text : name);
    edit->setGeometry(QRect(position, QSize(100, 20)));
    edit->setText(text);
    edit->setEnabled(enabled);
    return edit;
}

MyPushButton *createDateButton(QWidget *parent, const QPoint &position, const QString &text)
{
    auto *button = new MyPushButton(parent);
    button->setGeometry(QRect(position, QSize(40, 20)));
    button->setText(text);
    return button;
}

QString todayDigits()
{
    return QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
}

} // namespace

ProductionPage::ProductionPage(DeviceLink &link, AppSettings &settings, QWidget *parent)
    : Page(link, settings, parent)
{
    createDatePanel();
    dateBox = createAnswerBox(QStringLiteral("获取生产日期"));
    setResultBox = createAnswerBox(QStringLiteral("设置情况"));
    connect(&link, &DeviceLink::responseReceived, this, &ProductionPage::onResponse);
}

// The captions are fixed factory texts; they do not follow the language selector. The
// system date is taken once, here.
void ProductionPage::createDatePanel()
{
    createDateEdit(this, QPoint(550, 40), QStringLiteral("当前生产日期"), false);
    createDateEdit(this, QPoint(650, 40), QString(), true, QStringLiteral("生产日期"));
    MyPushButton *inquireButton = createDateButton(this, QPoint(750, 40), QStringLiteral("查询"));
    connect(inquireButton, &MyPushButton::sig_clicked, this, &ProductionPage::onInquireDateClicked);

    createDateEdit(this, QPoint(550, 60), QStringLiteral("当前系统时间"), false);
    createDateEdit(this, QPoint(650, 60), todayDigits(), false, QStringLiteral("系统日期"));
    setButton = createDateButton(this, QPoint(750, 60), QStringLiteral("设置"));
    connect(setButton, &MyPushButton::sig_clicked, this, &ProductionPage::onSetDateClicked);
    // Setting the date writes to the controller: possible only while it is there.
    setButton->setEnabled(link.isOpen());
    connect(&link, &DeviceLink::connectionChanged, setButton, &QWidget::setEnabled);
}

// The captions and the answers are factory texts that stay as they are; only the answer
// boxes' buttons come from Qt's own catalogue.
void ProductionPage::retranslate()
{
    retranslateStandardButtons(dateBox);
    retranslateStandardButtons(setResultBox);
}

void ProductionPage::enter()
{
    link.setLiveChannelReports(false);
    link.setProductionDisplay(true);
}

void ProductionPage::onInquireDateClicked()
{
    if (!controllerConnected())
        return;
    if (link.send(RemoteControllerSet, CMD_ID_PRODUCTION_DATE, RemoteControllerId))
        dateAsked.start();
}

// Sends the date of the click, not the one the panel shows since it was built.
void ProductionPage::onSetDateClicked()
{
    if (!controllerConnected())
        return;
    const uint32_t date = todayDigits().toUInt();
    qDebug() << date;
    uint8_t payload[4] = {};
    writeU32(payload, date);
    if (link.send(RemoteControllerSet, CMD_ID_SET_PRODUCTION_DATE, RemoteControllerId, payload, sizeof payload))
        setAsked.start();
}

void ProductionPage::onResponse(const DecodedResponse &response)
{
    if (response.kind == Response::ProductionDate) {
        showAnswer(dateBox, dateAsked, QStringLiteral("       %1       ").arg(response.value));
    } else if (response.kind == Response::ProductionDateSet) {
        showAnswer(setResultBox, setAsked,
                   response.flag ? QStringLiteral("          设置成功          ")
                                 : QStringLiteral("          设置失败          "));
    }
}

// Not modal: the answers come from inside the receive path, which must return so that
// reception and a running upgrade go on, and a device that keeps answering must not lock
// the window.
QMessageBox *ProductionPage::createAnswerBox(const QString &title)
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, title, QString(), QMessageBox::Ok, this);
    box->setWindowModality(Qt::NonModal);
    return box;
}

void ProductionPage::showAnswer(QMessageBox *box, QElapsedTimer &asked, const QString &text)
{
    if (!asked.isValid() || asked.hasExpired(AnswerTimeoutMs)) {
        if (!unaskedLog.allow())
            return;
        if (const int heldBack = unaskedLog.takeHeldBack())
            qDebug() << "answers nobody asked for, not logged:" << heldBack;
        qDebug() << "answer nobody asked for:" << box->windowTitle() << text.trimmed();
        return;
    }
    asked.invalidate();
    box->setText(text);
    box->show();
}
