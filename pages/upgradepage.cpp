#include "upgradepage.h"

#include "appsettings.h"
#include "devicelink.h"
#include "devicetypes.h"
#include "frame.h"
#include "updatefileitem.h"
#include "upgradesession.h"
#include "versiontext.h"

#include <QDebug>
#include <QLabel>
#include <QScrollArea>
#include <QTimer>

#include <algorithm>

using namespace Koru;

namespace {

struct HeaderColumn
{
    const char *key;
    int x;
    int width;
};

const HeaderColumn HeaderColumns[] = {
    {QT_TRANSLATE_NOOP("UpgradePage", "硬件ID"), 90, 100},
    {QT_TRANSLATE_NOOP("UpgradePage", "SN"), 186, 100},
    {QT_TRANSLATE_NOOP("UpgradePage", "引导程序"), 306, 100},
    {QT_TRANSLATE_NOOP("UpgradePage", "固件版本"), 416, 120},
    {QT_TRANSLATE_NOOP("UpgradePage", "升级"), 640, 100},
};

constexpr int RowHeight = 70;
constexpr int RowWidth = 812;
constexpr int FirstRowY = 50;
constexpr int RowX = 16;
// The row list reaches the page's right and bottom edges; its scroll bar takes the margin.
constexpr QSize RowListSize(828, 392);
constexpr int VersionAskMs = 1000;
constexpr int VersionAsks = 10;

} // namespace

UpgradePage::UpgradePage(DeviceLink &link, AppSettings &settings, QWidget *parent)
    : Page(link, settings, parent)
{
    auto *headBack = new QLabel(this);
    headBack->setObjectName(QStringLiteral("updateHeadBack"));
    headBack->setGeometry(16, 20, 812, 30);
    for (const HeaderColumn &column : HeaderColumns) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("boldLabel"));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(column.x, 25, column.width, 20);
        headerLabels.append(label);
    }
    retranslate();

    auto *scrollArea = new QScrollArea(this);
    scrollArea->setGeometry(QRect(QPoint(RowX, FirstRowY), RowListSize));
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rowList = new QWidget;
    rowList->setObjectName(QStringLiteral("upgradeRowList"));
    rowList->resize(RowWidth, 0);
    scrollArea->setWidget(rowList);
    // The application's style sheet takes over the palettes of the scroll area's inner
    // widgets; a rule of their own keeps them white like the page.
    scrollArea->setStyleSheet(QStringLiteral("QScrollArea, QWidget#upgradeRowList"
                                             " { background: white; }"));

    connect(&link, &DeviceLink::responseReceived, this, &UpgradePage::onResponse);
    UpgradeSession &upgrade = link.upgrade();
    connect(&upgrade, &UpgradeSession::message, this, &UpgradePage::onUpgradeMessage);
    connect(&upgrade, &UpgradeSession::progress, this, &UpgradePage::onUpgradeProgress);
    connect(&upgrade, &UpgradeSession::finished, this, &UpgradePage::onUpgradeFinished);
    versionTimer = new QTimer(this);
    versionTimer->setInterval(VersionAskMs);
    connect(versionTimer, &QTimer::timeout, this, &UpgradePage::askUpgradedVersion);
}

void UpgradePage::enter()
{
    link.setLiveChannelReports(false);
    link.requestDeviceInfo();
    link.setProductionDisplay(false);
}

void UpgradePage::retranslate()
{
    for (int i = 0; i < headerLabels.size(); ++i)
        headerLabels[i]->setText(tr(HeaderColumns[i].key));
    for (UpdateFileItem *row : qAsConst(rows))
        row->retranslate();
}

void UpgradePage::onResponse(const DecodedResponse &response)
{
    const DeviceState &state = link.state();
    if (response.kind == Response::DeviceVersion && response.source == upgradedDevice) {
        upgradedDevice = -1;
        versionTimer->stop();
    }
    if (response.kind == Response::DeviceVersion)
        showVersion(rowOf(response.source));
    else if (response.kind == Response::DeviceUid)
        rowOf(response.source)->setSn(serialNumberText(state.deviceUid, QLatin1Char('\n')));
}

void UpgradePage::showVersion(UpdateFileItem *row)
{
    const uint8_t *version = link.state().deviceVersion;
    row->setHardwareId(hardwareIdText(version));
    row->setBootVersion(readU32(version + BootVersionAt));
    row->setFwVersion(readU32(version + FirmwareVersionAt));
}

UpdateFileItem *UpgradePage::rowOf(uint8_t deviceId)
{
    const int index = rowDeviceIds.indexOf(deviceId);
    return index >= 0 ? rows[index] : addRow(deviceId);
}

// Rows are never removed.
UpdateFileItem *UpgradePage::addRow(uint8_t deviceId)
{
    const int before = rows.size();
    auto *row = new UpdateFileItem(settings, rowList);
    placeRow(row, deviceId);
    row->setRowNumber(before + 1);
    row->setDeviceId(deviceId);
    row->show();
    connect(row, &UpdateFileItem::sig_updateFile, this, &UpgradePage::onUpgradeRequested);
    connect(row, &UpdateFileItem::sig_stopUpdateFile, &link.upgrade(), &UpgradeSession::requestStop);
    rowDeviceIds.append(deviceId);
    rows.append(row);
    retranslate();
    return row;
}

// The known device types' rows come first, each group in the order of first answers, so
// that answers from made-up ids cannot push a real device's row out of sight.
void UpgradePage::placeRow(UpdateFileItem *row, uint8_t deviceId)
{
    const auto knownRows = int(std::count_if(rowDeviceIds.cbegin(), rowDeviceIds.cend(), isKnownDeviceType));
    shownRows.insert(isKnownDeviceType(deviceId) ? knownRows : shownRows.size(), row);
    for (int i = 0; i < shownRows.size(); ++i)
        shownRows[i]->move(0, i * RowHeight);
    rowList->resize(RowWidth, int(shownRows.size()) * RowHeight);
}

UpdateFileItem *UpgradePage::row(int rowNumber) const
{
    return rowNumber >= 1 && rowNumber <= rows.size() ? rows[rowNumber - 1] : nullptr;
}

void UpgradePage::onUpgradeRequested(uint8_t deviceId, int rowNumber, const QString &fileName)
{
    UpgradeSession &upgrade = link.upgrade();
    if (upgrade.isFlagSet())
        return;
    // A stopped run stays inside its waits until its next acknowledgement; starting now
    // would take its file and its row from it.
    if (upgrade.isRunning()) {
        if (UpdateFileItem *requester = row(rowNumber))
            requester->setMsg({"UpgradePage", QT_TR_NOOP("other upgrade is doing")});
        return;
    }
    // Every device is reached through the controller: without it the start could only
    // time out.
    if (!link.isOpen()) {
        if (UpdateFileItem *requester = row(rowNumber))
            requester->setMsg(notConnectedKey());
        return;
    }
    qDebug() << "开始升级";
    settings.write(QStringLiteral("updateAddr"), QString::number(deviceId));
    upgrade.start(fileName, deviceId, rowNumber);
}

// Row numbers count from 1; requester 0 is the console's file update row.
void UpgradePage::onUpgradeMessage(int requester, const TextKey &text)
{
    if (UpdateFileItem *target = row(requester))
        target->setMsg(text);
}

// The row shows what the new firmware answers, so the user sees it run.
void UpgradePage::onUpgradeFinished(int requester, UpgradeOutcome outcome)
{
    if (outcome != UpgradeOutcome::Succeeded || !row(requester))
        return;
    upgradedDevice = rowDeviceIds[requester - 1];
    versionAsksLeft = VersionAsks;
    askUpgradedVersion();
    versionTimer->start();
}

void UpgradePage::askUpgradedVersion()
{
    if (upgradedDevice < 0 || versionAsksLeft-- <= 0) {
        versionTimer->stop();
        return;
    }
    link.send(CommonSet, CMD_ID_VERSION, uint8_t(upgradedDevice));
}

void UpgradePage::onUpgradeProgress(int requester, int maximum, int value)
{
    if (UpdateFileItem *target = row(requester))
        target->setProgress(maximum, value);
}
