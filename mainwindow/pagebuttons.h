#pragma once

#include <QObject>
#include <QVector>

class MyToolButton;
class QWidget;

// The title bar's page buttons, one per page by page id, created from the left (the order
// Tab follows). The console's and the production page's stay hidden until
// showServicePages(). Ctrl+1 to Ctrl+5 choose the shown ones, counted from the left. A click
// or a shortcut only emits pageChosen(); the window switches the page and calls select().
class PageButtons : public QObject
{
    Q_OBJECT

public:
    explicit PageButtons(QWidget *bar);

    void showServicePages();
    void select(int id);
    void retranslate();

signals:
    void pageChosen(int id);

private:
    void chooseShown(int n);

    QVector<MyToolButton *> buttons; // by page id
};
