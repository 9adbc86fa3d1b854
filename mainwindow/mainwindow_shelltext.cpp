#include "mainwindow.h"

#include "protocolids.h"

namespace {
constexpr int MaxShellTextBytes = 200;
}

void MainWindow::sendShellText(const QString &text, uint8_t devId)
{
    QByteArray payload = text.toUtf8();
    if (payload.size() > MaxShellTextBytes) {
        shellReadstr = QStringLiteral("error = cmd to long\r\n");
        updateShellReadstrUI(Koru::RemoteControllerId);
        return;
    }
    payload.append("\r\n");
    sendCmd(reinterpret_cast<const uint8_t *>(payload.constData()), uint8_t(payload.size()), Koru::CommonSet,
            Koru::CMD_ID_SHELL_TEXT, devId);
}
