#pragma once

#include <QWidget>

#include <cstdint>

class ChannelMeter;
class QComboBox;
class QLabel;
class MyLineEdit;
class MyPushButton;

// One channel row: number, live bar and value, direction button, the three mapping
// edits and the source selector. Setters show what the device reported; user actions
// only emit the set requests, the row changes when the device reports the new state.
// Until the device reported a setting, it reads as unknown and its control is disabled.
class ChSubWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ChSubWidget(QWidget *parent);

    void setId(int id);
    void setMinValue(uint16_t value);
    void setMidValue(uint16_t value);
    void setMaxValue(uint16_t value);
    void setForwardValue(bool forward);
    void setEntity(uint8_t type, uint8_t entityId);
    void setChValue(int percent, int16_t value);
    // Back to unknown: no setting shown, none of them can be written.
    void clearSettings();
    void retranslate();
    // Draws the live value faded while it is not live.
    void setLive(bool on);

signals:
    void sig_forwardValueChange(int id, bool forwardValue);
    void sig_mapValueChange(int id, uint16_t minValue, uint16_t midValue, uint16_t maxValue);
    void sig_chValueChange(int id, uint8_t type, uint8_t entityId);

public slots:
    void slot_minEditChange();
    void slot_midEditChange();
    void slot_maxEditChange();
    void slot_forwardChange();
    void slot_chChange(int index);

private:
    MyLineEdit *createMapEdit(int x);
    void createSourceSelector();
    void emitMapValues();

    int id = 0;
    uint16_t minValue = 1000;
    uint16_t midValue = 1500;
    uint16_t maxValue = 2000;
    bool forwardValue = false;
    bool directionKnown = false;

    QLabel *numberLabel = nullptr;
    ChannelMeter *meter = nullptr;
    MyPushButton *directionButton = nullptr;
    MyLineEdit *minEdit = nullptr;
    MyLineEdit *midEdit = nullptr;
    MyLineEdit *maxEdit = nullptr;
    QComboBox *sourceSelector = nullptr;
};
