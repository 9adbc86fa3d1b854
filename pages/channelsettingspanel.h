#pragma once

#include <QMessageBox>
#include <QWidget>

class AppSettings;
class QProgressDialog;
class QPushButton;
namespace Koru {
class ChannelSettingsTransfer;
class DeviceLink;
enum class TransferOutcome;
}

// The channel page's "Save settings…" and "Load settings…" buttons: a file dialog that
// remembers its folder, a progress dialog while the controller answers, and the result in
// a message box. Loading shows what is wrong with a file before anything is sent, and asks
// before it overwrites the controller's settings.
class ChannelSettingsPanel : public QWidget
{
    Q_OBJECT

public:
    ChannelSettingsPanel(Koru::DeviceLink &link, AppSettings &settings, QWidget *parent);

    void retranslate();

private:
    void onSaveClicked();
    void onLoadClicked();
    bool isControllerReady();
    QString chooseFile(bool saving);
    void showProgressDialog(const QString &label);
    void showProgress(int done);
    void onFinished(Koru::TransferOutcome outcome, const QString &report);
    void showMessage(QMessageBox::Icon icon, const QString &text);

    Koru::DeviceLink &link;
    AppSettings &settings;
    Koru::ChannelSettingsTransfer *transfer = nullptr;
    QPushButton *saveButton = nullptr;
    QPushButton *loadButton = nullptr;
    QProgressDialog *progressDialog = nullptr;
};
