#pragma once

#include <QString>

#include <cstdint>

class MyPushButton;
class QWidget;
class UpdateFileItem;

// The upgrade page's rows, found and driven as a user does.

// The row whose hardware id label shows the simulated device's hardware id.
UpdateFileItem *upgradeRowOf(QWidget *window, uint8_t deviceId);
MyPushButton *rowButton(UpdateFileItem *row, const char *objectName);
// Clicks the row's file button and picks path in the file dialog that opens.
void chooseUpgradeFile(UpdateFileItem *row, const QString &path);
