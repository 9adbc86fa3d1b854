#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Lets the user drag the frameless window by its top band (above the page buttons) and its
// bottom band (the indicator and the version); presses on the pages between do nothing.
class WindowDrag : public QObject
{
    Q_OBJECT

public:
    explicit WindowDrag(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window = nullptr;
    bool dragging = false;
    QPoint dragOffset;
};
