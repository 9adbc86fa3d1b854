#pragma once

#include "page.h"

#include <QList>

class MyLineEdit;
class MyPushButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QTimer;
class ShellViews;
class UpgradeProgressPanel;
namespace Koru {
struct DecodedResponse;
}

// Page 2, the maintenance console: twenty rows that send a text command to a device's
// shell, by hand or repeatedly ("roll send"); the serial port selector; a row that sends
// a file to a typed device address through the upgrade procedure; and the view of the
// devices' shell answers. The rows are kept in kestan.ini.
class ConsolePage : public Page
{
    Q_OBJECT

public:
    ConsolePage(Koru::DeviceLink &link, AppSettings &settings, QWidget *parent = nullptr);

    void enter() override;
    void retranslate() override;

private:
    void createCommandRow(int row);
    void createRollSendRow();
    void createPortAndUpdateRow();

    void onResponse(const Koru::DecodedResponse &response);
    void onSendClicked(int row);
    void sendRow(int row);
    void onRollSendToggled(int state);
    void sendTickedRows();

    void refillPortSelector();
    void selectPort(const QString &name);

    void onChooseFileClicked();
    void onUpdateClicked();
    void onUpdateCloseClicked();
    void onUpgradeMessage(int requester, const Koru::TextKey &text);
    void showUpdateMessage(const Koru::TextKey &text);
    void onUpgradeProgress(int requester, int maximum, int value);

    QList<QCheckBox *> rollBoxes;
    QList<MyLineEdit *> addressEdits;
    QList<MyLineEdit *> commandEdits;
    QCheckBox *rollSendBox = nullptr;
    MyLineEdit *rollIntervalEdit = nullptr;
    QList<MyPushButton *> sendButtons;
    QTimer *rollTimer = nullptr;
    QList<QLabel *> captionLabels;
    ShellViews *shellViews = nullptr;

    QComboBox *portSelector = nullptr;
    MyLineEdit *updateAddressEdit = nullptr;
    MyPushButton *chooseFileButton = nullptr;
    MyPushButton *fileNameButton = nullptr;
    MyPushButton *updateButton = nullptr;
    UpgradeProgressPanel *progressPanel = nullptr;
    QLabel *messageLabel = nullptr;
    Koru::TextKey updateMessage; // what messageLabel shows, kept for a language switch
    QString updateFilePath;
};
