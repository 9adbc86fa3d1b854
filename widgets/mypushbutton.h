#pragma once

#include <QPushButton>

// A push button that carries an integer id and reports it when clicked, so that one slot
// can serve a group of buttons.
class MyPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MyPushButton(QWidget *parent);

    // A button named for the style sheet and placed.
    static MyPushButton *create(QWidget *parent, const char *objectName, const QRect &geometry);

    void setId(int id);

signals:
    void sig_clicked(int id);

public slots:
    void slot_clicked();

private:
    int id = 0;
};
