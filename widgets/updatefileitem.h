#pragma once

#include "textkey.h"

#include <QString>
#include <QWidget>

#include <cstdint>

class QLabel;
class AppSettings;
class MyPushButton;
class UpgradeProgressPanel;

// One row of the upgrade page: what a device reported about itself, a file chooser and
// the button that starts its upgrade. While an upgrade runs, a progress panel covers the
// buttons until the user closes it. The "haveOpenUpdataing" key in kestan.ini lets only
// one row hold an open upgrade at a time.
class UpdateFileItem : public QWidget
{
    Q_OBJECT

public:
    UpdateFileItem(AppSettings &settings, QWidget *parent);

    void setDeviceId(uint8_t id);
    void setRowNumber(int number);
    void retranslate();
    // The row's message, kept as its key so that a language switch shows it anew.
    void setMsg(const Koru::TextKey &text);
    void setProgress(int maximum, int value);
    void setHardwareId(const QString &text);
    void setSn(const QString &text);
    void setBootVersion(uint32_t version);
    void setFwVersion(uint32_t version);

signals:
    void sig_updateFile(uint8_t updateAddr, int updateFileID, QString updatefilename);
    void sig_stopUpdateFile();

public slots:
    void slot_getfileClicked();
    void slot_UpdateClicked();
    void slot_closeClicked();

private:
    QLabel *createInfoLabel(int x, Qt::Alignment alignment);

    AppSettings &settings;
    uint8_t deviceId = 0;
    int rowNumber = 1;
    QString filePath;
    Koru::TextKey msg;

    QLabel *nameLabel = nullptr;
    QLabel *hardwareIdLabel = nullptr;
    QLabel *snLabel = nullptr;
    QLabel *bootVersionLabel = nullptr;
    QLabel *fwVersionLabel = nullptr;
    MyPushButton *fileButton = nullptr;
    MyPushButton *fileNameButton = nullptr;
    MyPushButton *upgradeButton = nullptr;
    UpgradeProgressPanel *progressPanel = nullptr;
    QLabel *msgLabel = nullptr;
};
