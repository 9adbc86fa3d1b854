#pragma once

#include <QProgressBar>

class QLabel;

// The channel bar: a progress bar sized to the bar picture, with the picture laid over it.
class MyProgressBar : public QProgressBar
{
public:
    explicit MyProgressBar(QWidget *parent);

private:
    QLabel *overlay = nullptr;
};
