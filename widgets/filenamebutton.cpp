#include "filenamebutton.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

void showFileName(QPushButton *button, const QString &path)
{
    button->ensurePolished();
    QStyleOptionButton option;
    option.initFrom(button);
    const int room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
    const QString name = QFileInfo(path).fileName();
    button->setText(button->fontMetrics().elidedText(name, Qt::ElideMiddle, room));
    button->setToolTip(QDir::toNativeSeparators(path));
}
