#pragma once

#include "page.h"

#include <QList>

#include <cstdint>

class GimbalSubWidget;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
namespace Koru {
struct DecodedResponse;
}

// Page 4: which remote-controller channel drives each of the eleven gimbal and camera
// functions, and the camera's resolution, coding format, IP address and firmware
// version. While the page is current, they are asked for every second.
class GimbalPage : public Page
{
    Q_OBJECT

public:
    GimbalPage(Koru::DeviceLink &link, AppSettings &settings, QWidget *parent = nullptr);

    void enter() override;
    void leave() override;
    void retranslate() override;

private:
    void createCameraWidgets();
    void onResponse(const Koru::DecodedResponse &response);
    void showCameraConfig();
    void clearReportedValues();

    void queryAll();
    void queryCamera();
    void onCameraConfigChanged();
    bool sendGimbal(uint8_t commandId, const uint8_t *payload = nullptr, int length = 0);
    void onFunctionChannelChanged(int function, uint8_t channel);
    void onResolutionChosen(int index);
    void onCodingFormatChosen(int index);
    void onSaveIpClicked();

    QList<GimbalSubWidget *> rows;
    QLabel *channelConfigLabel = nullptr;
    QLabel *cameraConfigLabel = nullptr;
    QLabel *resolutionLabel = nullptr;
    QLabel *codingFormatLabel = nullptr;
    QLabel *firmwareLabel = nullptr;
    QLabel *firmwareValueLabel = nullptr;
    QLabel *ipLabel = nullptr;
    QComboBox *resolutionSelector = nullptr;
    QComboBox *codingFormatSelector = nullptr;
    QLineEdit *ipEdit = nullptr;
    QPushButton *saveIpButton = nullptr;
    QTimer *queryTimer = nullptr;
    // A set answer is read back only for a set this page sent, so a camera that keeps
    // announcing changes cannot drive an endless exchange.
    int unansweredCameraSets = 0;
};
