#include "upgraderows.h"

#include "deviceprofile.h"
#include "mypushbutton.h"
#include "updatefileitem.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>

UpdateFileItem *upgradeRowOf(QWidget *window, uint8_t deviceId)
{
    const QString hardwareId = QString::fromLatin1(Koru::DeviceProfile::forDevice(deviceId).hardwareId);
    for (UpdateFileItem *row : window->findChildren<UpdateFileItem *>()) {
        for (QLabel *label : row->findChildren<QLabel *>(QStringLiteral("updateItem")))
            if (label->text() == hardwareId)
                return row;
    }
    return nullptr;
}

MyPushButton *rowButton(UpdateFileItem *row, const char *objectName)
{
    return row->findChild<MyPushButton *>(QLatin1String(objectName));
}

void chooseUpgradeFile(UpdateFileItem *row, const QString &path)
{
    QTimer::singleShot(0, row, [path] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept();
        }
    });
    QTest::mouseClick(rowButton(row, "getfile"), Qt::LeftButton);
}
