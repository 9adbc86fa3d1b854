#pragma once

#include "channelsettingsreader.h"

#include <QObject>
#include <QString>

namespace Koru {

enum class TransferOutcome {
    Succeeded, // saved completely, or loaded and every channel read back as sent
    NoDevice,  // no port open, or the controller went away meanwhile
    FileError, // the file could not be written
    NoAnswer,  // some channels never answered
    Mismatch,  // some channels read back other values than were sent
};

// Saves the controller's channel settings to a file and loads them into it, on the device
// link and asynchronously. Saving writes the file only when every channel answered; loading
// sends the set commands, reads every channel back and compares.
class ChannelSettingsTransfer : public QObject
{
    Q_OBJECT

public:
    explicit ChannelSettingsTransfer(DeviceLink &link, QObject *parent = nullptr);

    bool isRunning() const { return reader.isRunning(); }

    void save(const QString &path);
    void load(const ChannelSettings &settings);

signals:
    void progress(int done, int total);
    // report is a translated text for the user, one line per finding.
    void finished(Koru::TransferOutcome outcome, const QString &report);

private:
    enum class Task { Save, Load };

    bool startTask(Task next);
    void sendSettings();
    void onReadFinished();
    void finishSave();
    void finishLoad();
    QStringList differences(int channel) const;
    void onResponse(const DecodedResponse &response);
    void onConnectionChanged(bool connected);

    DeviceLink &link;
    ChannelSettingsReader reader{link, this};
    Task task = Task::Save;
    QString savePath;
    ChannelSettingList wanted{};
    // The controller's identity as it last answered; written into saved files.
    QString hardwareId;
    QString serial;
};

} // namespace Koru
