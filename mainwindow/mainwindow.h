#pragma once

#include "devicestate.h"
#include "framereassembler.h"
#include "responsedecoder.h"

#include <QFile>
#include <QList>
#include <QMainWindow>
#include <QPoint>
#include <QSystemTrayIcon>

class QComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QProgressBar;
class QStackedWidget;
class QTimer;
class QTranslator;

class ChSubWidget;
class CrossWidget;
class DevicePort;
class GimbalSubWidget;
class MyLed;
class MyLineEdit;
class MyPushButton;
class MyToolButton;
class PortEnumerator;
class ScpzWidget;
class ShellMsgDialog;
class ShellMsgWidget;
class UpdateFileItem;
class UpgradeProgressPanel;

// The program's only window: owns the serial link, the device state reported by the
// receive path, the five pages and every timer. Its sources are split per feature
// (mainwindow_<feature>.cpp).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum Page { ChannelPage = 0, UpgradePage = 1, SettingPage = 2, ProductionPage = 3, GimbalPage = 4 };

    // Takes ownership of port and enumerator; null ones are replaced by the system's.
    explicit MainWindow(DevicePort *port = nullptr, PortEnumerator *enumerator = nullptr,
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    void setTranslator(QTranslator *translator);
    void applySavedLanguage();
    // Shows the buttons of the console and production pages, hidden from ordinary users.
    void showServicePages();

    QString iniValue(const QString &key) const;
    void setIniValue(const QString &key, const QString &value);
    void setIsUpdataing(uint8_t value);
    bool getIsUpdataing() const;

    bool sendCmd(const uint8_t *payload, uint8_t length, uint8_t commandSet, uint8_t commandId,
                 uint8_t targetId);
    void sendShellText(const QString &text, uint8_t devId);
    void delayMs(int milliseconds);

    int currentPageId() const { return currentPage; }

public slots:
    void slot_langageChange(int index);
    void slot_upgradeUrlClieked();

private slots:
    void onReadyRead();
    void onPortAddedOrRemoved();
    bool check_usb_port();
    void slot_upFile();
    void slot_stopUpFile();
    void endUpFile();
    void updateProUI();
    void updateShellReadstrUI(uint8_t devId = 0x10);
    void updateChUI();
    void updateChReverseUI(int id = -1);
    void updateChEntity(int id = -1);
    void updateChMap(int id = -1);
    void updateCaliLabel(const QString &str);
    void updateCaliUI();
    void slot_pagChange(int id);
    void slot_sendCaliStatusCmd();
    void slot_sendReverseStatusCmd();
    void slot_forwardValueChange(int id, bool forwardValue);
    void slot_mapValueChange(int id, uint16_t minValue, uint16_t midValue, uint16_t maxValue);
    void slot_chValueChange(int id, uint8_t type, uint8_t entityId);
    void slot_beginCaliClieked();
    void slot_resetCaliClieked();
    void slot_sendCmdClicked(int id);
    void slot_inquiredateClicked();
    void slot_setdateClicked();
    void slot_rollCheckBoxClicked(int sta);
    void slot_rollTimerOut();
    void slot_getfileClicked();
    void slot_settingUpdateClicked();
    void slot_settingUpdateCloseClicked();
    void slot_portChange(const QString &portName);
    void slot_closeClicked();
    void slot_miniClicked();
    void slot_onSystemTrayIconClicked(QSystemTrayIcon::ActivationReason reason);
    void slot_getUidTimerOut();
    void slot_updateFile(uint8_t updateAddr, int updateFileID, const QString &updatefilename);
    void slot_sendScpzCmd(uint8_t id, float value);
    void slot_sendGetGimbalCTL_CH_Cmd();
    void slot_sendSetgimbalCTL_CH_CMD(int id, uint8_t ch);
    void slot_sendGetCameraConfig_CMD();
    void slot_sendSetRes_CMD(int id);
    void slot_sendSetCodeFormat_CMD(int id);
    void slot_sendGetIP_CMD();
    void slot_sendSetIP_CMD();
    void slot_sendGetCameraFWVer_CMD();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Frame (mainwindow.cpp)
    void createTimers();
    void createTitleBar();
    void createPages();
    void retranslateTitleBar();
    MyToolButton *createPageButton(int id, const char *icon, const QPoint &position);

    // Serial port (mainwindow_serial.cpp)
    void createSerialPort(DevicePort *port, PortEnumerator *enumerator);
    bool openPort(const QString &name);
    void closePort();
    void showOpenError();
    QString devicePortName() const;
    void selectPortInComboBox(const QString &name);

    // Receive path (mainwindow_receive.cpp)
    void dispatchFrame(const Koru::Frame &frame);
    void showProductionDateBox(const QString &title, const QString &text);
    bool writePort(const uint8_t *bytes, int count);

    // Upgrade page (mainwindow_upgradepage.cpp)
    void initUpgradePage();
    void retranslateUpgradePage();
    void getDeviceInfo();
    void updateDeviceRow(uint8_t deviceId, uint8_t kind);
    void showUpgradeMsg(int code, const QString &text);
    uint8_t getLastError();
    UpdateFileItem *addDeviceRow(uint8_t deviceId);
    UpdateFileItem *updateRow(int rowNumber) const;

    // Upgrade procedure (mainwindow_upgrade.cpp)
    class UpgradeLink; // the window as host of the upgrade engine
    UpgradeLink &upgradeLink();
    bool upgradeRunning();

    // Console (mainwindow_console.cpp)
    void createSettingPage();
    void updateSettingTexts();
    void setSettingMsg(const QString &text);
    void setSettingProgress(int max, int value);
    void createConsoleRow(int row);
    void createRollSendRow();
    void createPortAndUpdateRow();
    void createSettingProgressPanel();
    void showInShellDialog(int index);

    // Channels and calibration (mainwindow_channels.cpp, mainwindow_calibration.cpp)
    void initChannelPage();
    void rcPcOn();
    void rcPcOff();
    void sendRcPc(const QString &text);
    void initCalibrationControls();
    void updateCaliButtons();
    bool sendCaliStart();
    bool sendCaliFinish();
    bool sendCaliCmd(uint8_t action);
    static void makeWhitePage(QWidget *page);

    // Production (mainwindow_scpz.cpp)
    void createProductionDatePanel();
    void sendScxsOn();
    void sendScxsOff();
    bool sendScpzValue(uint8_t wireId, float value);
    void showScpzValues();

    // Gimbal and camera (mainwindow_gimbal.cpp, mainwindow_camera.cpp)
    void initGimbalPage();
    void initCameraWidgets();
    void retranslateCameraWidgets();
    void refreshGimbalPage();
    void sendCameraQueries();
    bool sendGimbalCmd(uint8_t commandId, const uint8_t *payload = nullptr, uint8_t length = 0);
    void retranslateGimbalPage();
    void updateCameraConfigUI();
    void setCameraIpText(const QString &text);
    void updateCameraFwVer(uint32_t value);

    // Frame members
    QTranslator *translator = nullptr;
    QStackedWidget *pageStack = nullptr;
    QList<MyToolButton *> pageButtons;
    QWidget *channelPage = nullptr;
    QWidget *upgradePage = nullptr;
    QWidget *settingPage = nullptr;
    ScpzWidget *scpzWidget = nullptr;
    QWidget *gimbalPage = nullptr;
    int currentPage = 0;
    QSystemTrayIcon *trayIcon = nullptr;
    QComboBox *langageComboBox = nullptr;
    QPushButton *upgradeUrlButton = nullptr;
    MyLed *usbLed = nullptr;
    bool dragging = false;
    QPoint dragOffset;
    bool settingsWarningShown = false;

    QTimer *caliStatusTimer = nullptr;
    QTimer *chStatusTimer = nullptr;
    QTimer *rollTimer = nullptr;
    QTimer *uidTimer = nullptr;
    QTimer *gimbalTimer = nullptr;
    QTimer *pollTimer = nullptr;

    // Serial link
    DevicePort *port = nullptr;
    PortEnumerator *enumerator = nullptr;
    QString currentPortName;
    QComboBox *portComboBox = nullptr;
    Koru::FrameReassembler rxBuffer;

    // Device state written by the receive path
    DeviceState state;

    // Upgrade procedure
    QFile upgradeFile;
    QString updatefilename;
    uint8_t updateAddr = 0x10;
    int updateFileID = 0;
    bool isUpdataing = false;
    int proMax = 0;
    int proValue = 0;
    UpgradeLink *upgradeHost = nullptr; // created on first use, owned by the window

    // Upgrade page
    QList<QLabel *> upgradeHeaderLabels;
    QList<uint8_t> rowDevIds;
    QList<UpdateFileItem *> updateRows;

    // Console and shell views
    QList<QCheckBox *> rollCheckBoxes;
    QList<MyLineEdit *> devAddrEdits;
    QList<MyLineEdit *> cmdLineEdits;
    QList<MyPushButton *> sendButtons;
    QCheckBox *rollEnableBox = nullptr;
    MyLineEdit *rollIntervalEdit = nullptr;
    MyLineEdit *updateAddrEdit = nullptr;
    QString settingFilePath;
    UpgradeProgressPanel *settingProgressPanel = nullptr;
    QLabel *settingMsgLabel = nullptr;
    MyPushButton *settingFileNameButton = nullptr;
    QList<QLabel *> settingTextLabels;
    MyPushButton *settingGetFileButton = nullptr;
    MyPushButton *settingUpdateButton = nullptr;
    ShellMsgWidget *shellMsgWidget = nullptr;
    QString shellReadstr;
    QList<uint8_t> shellDevIds;
    QList<ShellMsgDialog *> shellDialogs;

    // Channels and calibration
    QList<ChSubWidget *> chSubWidgets;
    CrossWidget *leftCross = nullptr;
    CrossWidget *rightCross = nullptr;
    int caliStep = 0;
    QLabel *caliLabel = nullptr;
    QPushButton *beginCaliButton = nullptr;
    QPushButton *resetCaliButton = nullptr;

    // Gimbal and camera
    QList<GimbalSubWidget *> gimbalSubWidgets;
    QLabel *chConfigLabel = nullptr;
    QLabel *cameraConfigLabel = nullptr;
    QLabel *resolutionLabel = nullptr;
    QLabel *codeFormatLabel = nullptr;
    QLabel *cameraFwVerLabel = nullptr;
    QLabel *cameraFwVerValueLabel = nullptr;
    QLabel *ipSetLabel = nullptr;
    QComboBox *resolutionComboBox = nullptr;
    QComboBox *codeFormatComboBox = nullptr;
    QLineEdit *ipLineEdit = nullptr;
    QPushButton *confirmIpButton = nullptr;
};
