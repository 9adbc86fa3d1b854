#include "myprogressbar.h"

#include <QLabel>
#include <QPixmap>

MyProgressBar::MyProgressBar(QWidget *parent) : QProgressBar(parent), overlay(new QLabel(this))
{
    setObjectName(QStringLiteral("progressBar_test"));
    const QPixmap picture(QStringLiteral(":/img/ch_probar.png"));
    resize(picture.size());
    overlay->resize(picture.size());
    overlay->setPixmap(picture);
}
