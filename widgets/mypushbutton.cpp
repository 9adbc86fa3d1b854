#include "mypushbutton.h"

MyPushButton::MyPushButton(QWidget *parent) : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, &MyPushButton::slot_clicked);
}

void MyPushButton::setId(int newId)
{
    id = newId;
}

void MyPushButton::slot_clicked()
{
    emit sig_clicked(id);
}

MyPushButton *MyPushButton::create(QWidget *parent, const char *objectName, const QRect &geometry)
{
    auto *button = new MyPushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setGeometry(geometry);
    return button;
}
