#include "myled.h"

#include <QPixmap>

MyLed::MyLed(QWidget *parent) : QLabel(parent)
{
    resize(20, 20);
}

void MyLed::turnOn()
{
    setPixmap(QPixmap(QStringLiteral(":/img/usb_on")));
}

void MyLed::turnOff()
{
    setPixmap(QPixmap(QStringLiteral(":/img/usb_off")));
}
