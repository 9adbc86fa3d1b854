#pragma once

#include <QPushButton>

// A push button that carries an integer id and reports it when clicked, so that one slot
// can serve a group of buttons.
class MyPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MyPushButton(QWidget *parent);

    void setId(int id);

signals:
    void sig_clicked(int id);

public slots:
    void slot_clicked();

private:
    int id = 0;
};
