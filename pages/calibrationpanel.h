#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;
namespace Koru {
class DeviceLink;
struct DecodedResponse;
}

// The guided stick calibration in the channel page's lower right corner: a prompt, the
// button that walks through the three steps, and the button that restores every
// channel's default settings. While a calibration runs, its status is polled.
class CalibrationPanel : public QWidget
{
    Q_OBJECT

public:
    CalibrationPanel(Koru::DeviceLink &link, QWidget *parent);

    void retranslate();

signals:
    void defaultAllChannelsClicked();

private:
    enum Step { Prompt = 0, Start = 1, Finish = 2 };

    void onBeginCalibrationClicked();
    void onResponse(const Koru::DecodedResponse &response);
    void showStatus();
    bool sendCalibration(uint8_t action);
    // Shows the prompt for key; a language change shows it anew.
    void showPrompt(const char *key);

    Koru::DeviceLink &link;
    Step step = Prompt;
    const char *promptKey = nullptr;
    QLabel *promptLabel = nullptr;
    QPushButton *beginButton = nullptr;
    QPushButton *defaultButton = nullptr;
    QTimer *statusTimer = nullptr;
};
