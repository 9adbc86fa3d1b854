#pragma once

#include <QObject>

// Keeps the mouse wheel from changing a value the user never picked: a selector or spin
// box without the focus passes the wheel on to the page under it, and takes the focus
// only by a click or Tab. Installed once on the application, it covers every such widget,
// also those created later.
class WheelGuard : public QObject
{
    Q_OBJECT

public:
    explicit WheelGuard(QObject *parent = nullptr);

    static void install(QObject *owner);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
