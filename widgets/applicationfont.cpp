#include "applicationfont.h"

#include <QApplication>

QFont applicationFont()
{
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"), font.family()});
    return font;
}
