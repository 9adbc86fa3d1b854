#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// The progress of an upgrade: a thin bar, the percentage and a close button on a white
// panel that covers its row's file buttons while it is shown. Hidden when created.
class UpgradeProgressPanel : public QWidget
{
    Q_OBJECT

public:
    UpgradeProgressPanel(const QRect &geometry, QWidget *parent);

    // Bar range 0..maximum; the label shows the share read back from the bar, "0%" for an
    // empty range.
    void setProgress(int maximum, int value);
    void retranslate();

signals:
    void sig_closeClicked();

private:
    QProgressBar *bar = nullptr;
    QLabel *percentLabel = nullptr;
    QWidget *closeButton = nullptr;
};
