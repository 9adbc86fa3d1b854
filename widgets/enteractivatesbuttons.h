#pragma once

#include <QObject>

// Enter and Return click the button that has the focus, as Space does. Dialogs are left
// alone: there Enter means their default button. Installed once on the application.
class EnterActivatesButtons : public QObject
{
    Q_OBJECT

public:
    explicit EnterActivatesButtons(QObject *parent = nullptr);

    static void install(QObject *owner);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
