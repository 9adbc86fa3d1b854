#include "channelsettingspanel.h"

#include "appsettings.h"
#include "channelsettingstransfer.h"
#include "devicelink.h"
#include "page.h"

#include <QDir>
#include <QFileDialog>
#include <QProgressDialog>
#include <QPushButton>

using namespace Koru;

namespace {

const QString FolderKey = QStringLiteral("channelSettingsDir");
const QString DefaultFileName = QStringLiteral("channel-settings.json");

} // namespace

ChannelSettingsPanel::ChannelSettingsPanel(DeviceLink &link, AppSettings &settings, QWidget *parent)
    : QWidget(parent)
    , link(link)
    , settings(settings)
    , transfer(new ChannelSettingsTransfer(link, this))
    , saveButton(new QPushButton(this))
    , loadButton(new QPushButton(this))
{
    setFixedSize(240, 24);
    for (QPushButton *button : {saveButton, loadButton})
        button->setObjectName(QStringLiteral("settingsFile"));
    saveButton->setGeometry(0, 0, 120, 24);
    loadButton->setGeometry(120, 0, 120, 24);
    connect(saveButton, &QPushButton::clicked, this, &ChannelSettingsPanel::onSaveClicked);
    connect(loadButton, &QPushButton::clicked, this, &ChannelSettingsPanel::onLoadClicked);
    // Queued: a modal progress dialog runs the event loop in setValue(), which must not
    // happen inside the link's receive path that announces the progress.
    connect(transfer, &ChannelSettingsTransfer::progress, this, &ChannelSettingsPanel::showProgress,
            Qt::QueuedConnection);
    connect(transfer, &ChannelSettingsTransfer::finished, this, &ChannelSettingsPanel::onFinished);
}

void ChannelSettingsPanel::retranslate()
{
    saveButton->setText(tr("Save settings…"));
    loadButton->setText(tr("Load settings…"));
}

void ChannelSettingsPanel::onSaveClicked()
{
    const QString path = chooseFile(true);
    if (path.isEmpty())
        return;
    showProgressDialog(tr("Reading the channel settings from the remote controller…"));
    transfer->save(path);
}

void ChannelSettingsPanel::onLoadClicked()
{
    const QString path = chooseFile(false);
    if (path.isEmpty())
        return;
    ChannelSettings file;
    QString error;
    if (!ChannelSettingsFile::read(path, &file, &error)) {
        showMessage(QMessageBox::Warning, error);
        return;
    }
    const QString question = tr("Loading %1 overwrites the direction, mapping and source of all 16 channels "
                                "of the remote controller. Load it?")
                                 .arg(QFileInfo(path).fileName());
    if (QMessageBox::question(this, tr("Load settings"), question) != QMessageBox::Yes)
        return;
    showProgressDialog(tr("Sending the channel settings and reading them back…"));
    transfer->load(file);
}

bool ChannelSettingsPanel::isControllerReady()
{
    if (transfer->isRunning())
        return false;
    if (link.isOpen())
        return true;
    showMessage(QMessageBox::Warning, Page::notConnectedText());
    return false;
}

// Empty when the controller is not ready or the user cancelled. Starts in the folder used
// last; remembers the folder of the file chosen.
QString ChannelSettingsPanel::chooseFile(bool saving)
{
    if (!isControllerReady())
        return {};
    const QString folder = settings.readOr(FolderKey, QDir::homePath());
    const QString filter = tr("Channel settings (*.json)");
    const QString path = saving ? QFileDialog::getSaveFileName(this, tr("Save settings"),
                                                               QDir(folder).filePath(DefaultFileName), filter)
                                : QFileDialog::getOpenFileName(this, tr("Load settings"), folder, filter);
    if (!path.isEmpty())
        settings.write(FolderKey, QFileInfo(path).absolutePath());
    return path;
}

void ChannelSettingsPanel::showProgressDialog(const QString &label)
{
    progressDialog = new QProgressDialog(label, QString(), 0, ChannelSettingsReader::PartTotal, this);
    progressDialog->setWindowTitle(tr("Channel settings"));
    progressDialog->setWindowModality(Qt::WindowModal);
    progressDialog->setMinimumDuration(0);
    progressDialog->setAutoClose(false);
    progressDialog->setValue(0);
}

void ChannelSettingsPanel::showProgress(int done)
{
    if (progressDialog)
        progressDialog->setValue(done);
}

void ChannelSettingsPanel::onFinished(TransferOutcome outcome, const QString &report)
{
    if (progressDialog) {
        progressDialog->close();
        progressDialog->deleteLater();
        progressDialog = nullptr;
    }
    showMessage(outcome == TransferOutcome::Succeeded ? QMessageBox::Information : QMessageBox::Warning, report);
}

// Opened, not run: the transfer announces its end from inside the link's receive path.
void ChannelSettingsPanel::showMessage(QMessageBox::Icon icon, const QString &text)
{
    auto *box = new QMessageBox(icon, tr("Channel settings"), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
