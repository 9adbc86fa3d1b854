#include "applicationlook.h"

#include <QApplication>
#include <QFile>
#include <QFont>

namespace {

QString styleSheet()
{
    QFile file(QStringLiteral(":/kestanqss.qss"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromUtf8(bytes);
}

} // namespace

void applyApplicationLook()
{
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"), font.family()});
    QApplication::setFont(font);
    qApp->setStyleSheet(styleSheet());
}
