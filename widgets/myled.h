#pragma once

#include <QLabel>

// The USB indicator. It shows nothing until it is first switched on or off.
class MyLed : public QLabel
{
    Q_OBJECT

public:
    explicit MyLed(QWidget *parent);

    void turnOn();
    void turnOff();
};
