#pragma once

#include "page.h"

#include <QList>

#include <cstdint>

class QLabel;
class QTimer;
class UpdateFileItem;
namespace Koru {
struct DecodedResponse;
struct TextKey;
enum class UpgradeOutcome;
}

// Page 1: one row per device that answers the identity and version poll, with a file
// chooser and the button that starts its upgrade. Only one row may hold an open upgrade at
// a time ("haveOpenUpdataing" in kestan.ini). The rows scroll below the header.
class UpgradePage : public Page
{
    Q_OBJECT

public:
    UpgradePage(Koru::DeviceLink &link, AppSettings &settings, QWidget *parent = nullptr);

    void enter() override;
    void retranslate() override;

private:
    void onResponse(const Koru::DecodedResponse &response);
    UpdateFileItem *rowOf(uint8_t deviceId);
    UpdateFileItem *addRow(uint8_t deviceId);
    void placeRow(UpdateFileItem *row, uint8_t deviceId);
    UpdateFileItem *row(int rowNumber) const;
    void showVersion(UpdateFileItem *row);

    void onUpgradeRequested(uint8_t deviceId, int rowNumber, const QString &fileName);
    void onUpgradeMessage(int requester, const Koru::TextKey &text);
    void onUpgradeProgress(int requester, int maximum, int value);
    void onUpgradeFinished(int requester, Koru::UpgradeOutcome outcome);
    void askUpgradedVersion();

    QList<QLabel *> headerLabels;
    QList<uint8_t> rowDeviceIds;
    QList<UpdateFileItem *> rows;      // by row number, the order of first answers
    QList<UpdateFileItem *> shownRows; // top to bottom
    QWidget *rowList = nullptr;        // the scrolled widget that holds the rows
    // After a successful upgrade the device is asked for its version until the new
    // firmware answers (it restarts first), at most VersionAsks times.
    QTimer *versionTimer = nullptr;
    int upgradedDevice = -1;
    int versionAsksLeft = 0;
};
