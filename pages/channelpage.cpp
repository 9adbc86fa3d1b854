#include "channelpage.h"

#include "calibrationpanel.h"
#include "channelsettings.h"
#include "channelsettingspanel.h"
#include "chpercent.h"
#include "chsubwidget.h"
#include "crosswidget.h"
#include "devicelink.h"
#include "protocolids.h"

#include <QLabel>
#include <QMessageBox>
#include <QTimer>

using namespace Koru;

namespace {

constexpr int RowsPerColumn = 5;
constexpr int SettingsQueryMs = 500;
// Live values are drawn at most this often, however fast they arrive.
constexpr int RefreshMs = 33;

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

// Applies to row index, or to every row for -1; any other index outside the rows does nothing.
template <typename Apply> void forChannelRows(int index, const QList<ChSubWidget *> &rows, Apply apply)
{
    if (index == -1) {
        for (int row = 0; row < rows.size(); ++row)
            apply(row, rows[row]);
    } else if (index >= 0 && index < rows.size()) {
        apply(index, rows[index]);
    }
}

uint8_t channelNumber(int index)
{
    return static_cast<uint8_t>(index + 1);
}

} // namespace

ChannelPage::ChannelPage(DeviceLink &link, AppSettings &settings, QWidget *parent)
    : Page(link, settings, parent), settingsTimer(new QTimer(this)), refreshTimer(new QTimer(this))
{
    for (int index = 0; index < ChannelCount; ++index) {
        auto *row = new ChSubWidget(this);
        row->move(channelRowPosition(index));
        row->setId(index);
        connect(row, &ChSubWidget::sig_forwardValueChange, this, &ChannelPage::onDirectionChanged);
        connect(row, &ChSubWidget::sig_mapValueChange, this, &ChannelPage::onMappingChanged);
        connect(row, &ChSubWidget::sig_chValueChange, this, &ChannelPage::onSourceChanged);
        rows.append(row);
    }
    leftStick = new CrossWidget(this);
    leftStick->move(60, 10);
    rightStick = new CrossWidget(this);
    rightStick->move(315, 10);
    calibration = new CalibrationPanel(link, this);
    connect(calibration, &CalibrationPanel::defaultAllChannelsClicked, this,
            &ChannelPage::onDefaultAllChannelsClicked);
    settingsFiles = new ChannelSettingsPanel(link, settings, this);
    settingsFiles->move(581, 8);

    connect(settingsTimer, &QTimer::timeout, this, &ChannelPage::querySettings);
    refreshTimer->setSingleShot(true);
    // Every report is decoded and stored as it arrives; the refresh draws the newest ones.
    connect(refreshTimer, &QTimer::timeout, this, &ChannelPage::showChannelValues);
    connect(&link, &DeviceLink::responseReceived, this, &ChannelPage::onResponse);

    // Until the first live report, and again when the controller goes or the page is left,
    // the bars, values and sticks are drawn faded with a note, so old values never look live.
    notLiveNote = new QLabel(this);
    notLiveNote->setObjectName(QStringLiteral("notLiveNote"));
    notLiveNote->setGeometry(125, 70, 350, 28); // over the middle of the two stick displays
    notLiveNote->setAlignment(Qt::AlignCenter);
    connect(&link, &DeviceLink::connectionChanged, this, [this](bool connected) {
        if (!connected) {
            showLive(false);
            for (ChSubWidget *row : qAsConst(rows))
                row->clearSettings();
        }
    });
    showLive(false);
}

void ChannelPage::showLive(bool live)
{
    for (ChSubWidget *row : qAsConst(rows))
        row->setLive(live);
    leftStick->setLive(live);
    rightStick->setLive(live);
    notLiveNote->setText(link.isOpen() ? tr("Waiting for the live values of the remote controller…")
                                       : tr("No remote controller: these values are not live"));
    notLiveNote->setVisible(!live);
}

void ChannelPage::enter()
{
    link.setLiveChannelReports(true);
    settingsTimer->start(SettingsQueryMs);
    link.setProductionDisplay(false);
}

void ChannelPage::leave()
{
    settingsTimer->stop();
    showLive(false);
}

void ChannelPage::retranslate()
{
    for (ChSubWidget *row : qAsConst(rows))
        row->retranslate();
    showLive(leftStick->isLive());
    calibration->retranslate();
    settingsFiles->retranslate();
    retranslateDefaultAllBox();
}

void ChannelPage::onResponse(const DecodedResponse &response)
{
    switch (response.kind) {
    case Response::ChannelValues:
        scheduleChannelValues();
        break;
    case Response::ChannelReverse:
        showDirection(response.index);
        break;
    case Response::ChannelEntity:
        showSource(response.index);
        break;
    case Response::ChannelMap:
        showMapping(response.index);
        break;
    default:
        break;
    }
}

// The report is stored already. It is drawn at once when the last drawing is a refresh
// period old, else when that period ends: one drawing per period at any report rate, and a
// value is never shown more than a period late.
void ChannelPage::scheduleChannelValues()
{
    if (refreshTimer->isActive())
        return;
    const qint64 sinceShown = lastShown.isValid() ? lastShown.elapsed() : RefreshMs;
    if (sinceShown >= RefreshMs)
        showChannelValues();
    else
        refreshTimer->start(int(RefreshMs - sinceShown));
}

void ChannelPage::showChannelValues()
{
    lastShown.start();
    const DeviceState &state = link.state();
    // Horizontal position from xCh, vertical from yCh (channel indices).
    const auto showStick = [&state](CrossWidget *stick, int xCh, int yCh) {
        const int16_t *v = state.chValues;
        const StickPercent x =
            chStickPercent(v[xCh], int16_t(state.chMin[xCh]), int16_t(state.chMid[xCh]), state.chMax[xCh]);
        const StickPercent y =
            chStickPercent(v[yCh], int16_t(state.chMin[yCh]), int16_t(state.chMid[yCh]), state.chMax[yCh]);
        stick->setPosition(x.x, y.y, v[xCh], v[yCh]);
    };
    if (!leftStick->isLive())
        showLive(true);
    showStick(leftStick, 3, 2);
    showStick(rightStick, 0, 1);
    for (int ch = 0; ch < rows.size(); ++ch) {
        const int16_t percent = chBarPercent(state.chValues[ch], int16_t(state.chMin[ch]),
                                             int16_t(state.chMid[ch]), int16_t(state.chMax[ch]));
        rows[ch]->setChValue(percent, state.chValues[ch]);
    }
}

void ChannelPage::showDirection(int index)
{
    const DeviceState &state = link.state();
    forChannelRows(index, rows,
                   [&state](int ch, ChSubWidget *row) { row->setForwardValue(!channelSettingOf(state, ch).reverse); });
}

void ChannelPage::showSource(int index)
{
    const DeviceState &state = link.state();
    forChannelRows(index, rows, [&state](int ch, ChSubWidget *row) {
        const ChannelSetting setting = channelSettingOf(state, ch);
        row->setEntity(setting.sourceType, setting.sourceId);
    });
}

void ChannelPage::showMapping(int index)
{
    const DeviceState &state = link.state();
    forChannelRows(index, rows, [&state](int ch, ChSubWidget *row) {
        const ChannelSetting setting = channelSettingOf(state, ch);
        row->setMinValue(setting.min);
        row->setMidValue(setting.mid);
        row->setMaxValue(setting.max);
    });
}

// Direction, source and mapping of every channel, from the controller and from the
// module side; both answer into the same state.
void ChannelPage::querySettings()
{
    const DeviceLink::WriteBatch batch(link);
    for (int index = 0; index < ChannelCount; ++index) {
        const uint8_t ch = channelNumber(index);
        for (uint8_t target : {RemoteControllerId, ModuleSideId}) {
            for (const ChannelPartCommands &commands : PartCommands)
                link.send(RemoteControllerSet, commands.query, target, &ch, 1);
        }
    }
}

// Only the part named is taken from the setting.
void ChannelPage::sendSetting(int index, const ChannelSetting &setting, ChannelPart part)
{
    link.send(RemoteControllerSet, PartCommands[int(part)].set, RemoteControllerId,
              channelSetPayload(channelNumber(index), setting, part));
}

void ChannelPage::onDirectionChanged(int index, bool forward)
{
    ChannelSetting setting;
    setting.reverse = !forward;
    sendSetting(index, setting, ChannelPart::Direction);
}

void ChannelPage::onMappingChanged(int index, uint16_t minValue, uint16_t midValue, uint16_t maxValue)
{
    ChannelSetting setting;
    setting.min = minValue;
    setting.mid = midValue;
    setting.max = maxValue;
    sendSetting(index, setting, ChannelPart::Mapping);
}

void ChannelPage::onSourceChanged(int index, uint8_t type, uint8_t entityId)
{
    ChannelSetting setting;
    setting.sourceType = type;
    setting.sourceId = entityId;
    sendSetting(index, setting, ChannelPart::Source);
}

// One slip must not lose the user's whole set-up: the reset is sent only once confirmed.
void ChannelPage::onDefaultAllChannelsClicked()
{
    if (!defaultAllBox) {
        defaultAllBox = new QMessageBox(QMessageBox::Question, QString(), QString(),
                                        QMessageBox::Yes | QMessageBox::Cancel, this);
        defaultAllBox->setObjectName(QStringLiteral("defaultAllBox"));
        defaultAllBox->setDefaultButton(QMessageBox::Cancel);
        connect(defaultAllBox, &QMessageBox::finished, this, [this](int button) {
            if (button == QMessageBox::Yes)
                link.sendShellText(QStringLiteral("model_default"), RemoteControllerId);
        });
    }
    retranslateDefaultAllBox();
    defaultAllBox->open();
}

void ChannelPage::retranslateDefaultAllBox()
{
    if (!defaultAllBox)
        return;
    defaultAllBox->setWindowTitle(tr("Default all channels"));
    defaultAllBox->setText(tr("Reset the direction, the mapping and the source of all 16 channels to the "
                              "controller's defaults? The current channel settings are lost."));
    retranslateStandardButtons(defaultAllBox);
}
