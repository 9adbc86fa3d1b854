#pragma once

#include "page.h"

#include <QElapsedTimer>
#include <QList>

#include <cstdint>

class CalibrationPanel;
class ChannelSettingsPanel;
class ChSubWidget;
class CrossWidget;
class QLabel;
class QMessageBox;
class QTimer;
namespace Koru {
struct ChannelSetting;
struct DecodedResponse;
enum class ChannelPart;
}

// Page 0: the 16 channels and both sticks live; per channel the direction, the mapping
// and the source; the stick calibration in the lower right corner, and in the upper right
// the buttons that save the channel settings to a file and load them back. While the page
// is current the controller streams its channel values and every channel's settings are
// asked for twice a second. The live values are drawn at a fixed rate at most, each time
// the newest ones, and the first after a pause at once.
class ChannelPage : public Page
{
    Q_OBJECT

public:
    ChannelPage(Koru::DeviceLink &link, AppSettings &settings, QWidget *parent = nullptr);

    void enter() override;
    void leave() override;
    void retranslate() override;

private:
    void onResponse(const Koru::DecodedResponse &response);
    void scheduleChannelValues();
    void showChannelValues();
    void showLive(bool live);
    void showDirection(int index);
    void showSource(int index);
    void showMapping(int index);
    void querySettings();
    void sendSetting(int index, const Koru::ChannelSetting &setting, Koru::ChannelPart part);

    void onDirectionChanged(int index, bool forward);
    void onMappingChanged(int index, uint16_t minValue, uint16_t midValue, uint16_t maxValue);
    void onSourceChanged(int index, uint8_t type, uint8_t entityId);
    void onDefaultAllChannelsClicked();
    void retranslateDefaultAllBox();

    QList<ChSubWidget *> rows;
    CrossWidget *leftStick = nullptr;
    CrossWidget *rightStick = nullptr;
    CalibrationPanel *calibration = nullptr;
    ChannelSettingsPanel *settingsFiles = nullptr;
    QTimer *settingsTimer = nullptr;
    QTimer *refreshTimer = nullptr;
    QElapsedTimer lastShown;
    QLabel *notLiveNote = nullptr;
    QMessageBox *defaultAllBox = nullptr;
};
