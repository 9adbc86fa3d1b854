#pragma once

#include <QWidget>

#include <cstdint>

class QComboBox;
class QLabel;

// One gimbal function row: its name and the remote-controller channel that drives it
// (selector entries "1".."16", and "-" for none; the entry index is the wire value).
class GimbalSubWidget : public QWidget
{
    Q_OBJECT

public:
    explicit GimbalSubWidget(QWidget *parent);

    void setId(int id);
    void setLabelText(const QString &text);
    void setChannel(uint8_t ch);
    // No channel shown and none can be chosen until the gimbal reports one.
    void clearChannel();

signals:
    void sig_gimbalCTL_CH_Change(int id, uint8_t ch);

public slots:
    void slot_GimbalChange(int index);

private:
    int id = 0;
    QLabel *label = nullptr;
    QComboBox *channelSelector = nullptr;
};
