#include "chsubwidget.h"

#include "channelmeter.h"
#include "chsource.h"
#include "combostyle.h"
#include "mylineedit.h"
#include "mypushbutton.h"

#include <QComboBox>
#include <QLabel>

namespace {

QString signedText(uint16_t value)
{
    return QString::number(static_cast<int16_t>(value));
}

// Non-integer text (empty, "-", "1500.5") counts as 0; only the low 16 bits are kept.
uint16_t editValue(const MyLineEdit *edit)
{
    return static_cast<uint16_t>(edit->text().toInt(nullptr, 10));
}

} // namespace

ChSubWidget::ChSubWidget(QWidget *parent)
    : QWidget(parent), numberLabel(new QLabel(QStringLiteral("1"), this)), meter(new ChannelMeter(this)),
      directionButton(new MyPushButton(this))
{
    // Wide enough for a five-digit signed value beside the bar and a three-letter source.
    resize(270, 41);
    numberLabel->setObjectName(QStringLiteral("ChValueButton"));
    numberLabel->setGeometry(0, 2, 15, 16);

    meter->move(17, 1);

    directionButton->setObjectName(QStringLiteral("zhengxian"));
    directionButton->setGeometry(181, 0, 50, 20);
    connect(directionButton, &MyPushButton::sig_clicked, this, &ChSubWidget::slot_forwardChange);

    minEdit = createMapEdit(3);
    midEdit = createMapEdit(59);
    maxEdit = createMapEdit(115);
    connect(minEdit, &MyLineEdit::sig_finishEdit, this, &ChSubWidget::slot_minEditChange);
    connect(midEdit, &MyLineEdit::sig_finishEdit, this, &ChSubWidget::slot_midEditChange);
    connect(maxEdit, &MyLineEdit::sig_finishEdit, this, &ChSubWidget::slot_maxEditChange);

    createSourceSelector();
    clearSettings();
}

MyLineEdit *ChSubWidget::createMapEdit(int x)
{
    auto *edit = new MyLineEdit(this);
    edit->setNumberValidator();
    edit->setGeometry(x, 23, 36, 18);
    return edit;
}

void ChSubWidget::clearSettings()
{
    directionKnown = false;
    directionButton->setEnabled(false);
    directionButton->setText(QStringLiteral("—"));
    for (MyLineEdit *edit : {minEdit, midEdit, maxEdit}) {
        edit->setEnabled(false);
        edit->setTextIfIdle(QString());
    }
    sourceSelector->setEnabled(false);
    sourceSelector->setCurrentIndex(-1);
}

void ChSubWidget::retranslate()
{
    if (directionKnown)
        setForwardValue(forwardValue);
    const int channel = id + 1;
    directionButton->setAccessibleName(tr("Channel %1 direction").arg(channel));
    minEdit->setAccessibleName(tr("Channel %1 minimum").arg(channel));
    midEdit->setAccessibleName(tr("Channel %1 middle").arg(channel));
    maxEdit->setAccessibleName(tr("Channel %1 maximum").arg(channel));
    sourceSelector->setAccessibleName(tr("Channel %1 source").arg(channel));
    meter->setAccessibleName(tr("Channel %1 live value").arg(channel));
    meter->setAccessibleDescription(tr("The value the controller sends on channel %1").arg(channel));
}

void ChSubWidget::createSourceSelector()
{
    sourceSelector = new QComboBox(this);
    styleWhiteCombo(sourceSelector, 8);
    sourceSelector->setGeometry(233, 0, 37, 20);
    for (int index = 0; index < ChSourceCount; ++index)
        sourceSelector->addItem(QString::fromLatin1(sourceName(index)));
    sourceSelector->setCurrentIndex(0);
    // Only the user's pick is sent; a reported source sets the index without it.
    connect(sourceSelector, QOverload<int>::of(&QComboBox::activated), this, &ChSubWidget::slot_chChange);
}

void ChSubWidget::setId(int newId)
{
    id = newId;
    numberLabel->setText(QString::number(id + 1));
    retranslate();
}

void ChSubWidget::setMinValue(uint16_t value)
{
    minValue = value;
    minEdit->setTextIfIdle(signedText(value));
    minEdit->setEnabled(true);
}

void ChSubWidget::setMidValue(uint16_t value)
{
    midValue = value;
    midEdit->setTextIfIdle(signedText(value));
    midEdit->setEnabled(true);
}

void ChSubWidget::setMaxValue(uint16_t value)
{
    maxValue = value;
    maxEdit->setTextIfIdle(signedText(value));
    maxEdit->setEnabled(true);
}

void ChSubWidget::setForwardValue(bool forward)
{
    forwardValue = forward;
    directionKnown = true;
    directionButton->setEnabled(true);
    directionButton->setText(forward ? tr("正常1") : tr("反相1"));
}

void ChSubWidget::setEntity(uint8_t type, uint8_t entityId)
{
    sourceSelector->setCurrentIndex(indexForSource(type, entityId));
    sourceSelector->setEnabled(true);
}

void ChSubWidget::setLive(bool on)
{
    meter->setLive(on);
}

void ChSubWidget::setChValue(int percent, int16_t value)
{
    meter->setValue(percent, value);
}

void ChSubWidget::slot_minEditChange()
{
    minValue = editValue(minEdit);
    emitMapValues();
}

void ChSubWidget::slot_midEditChange()
{
    midValue = editValue(midEdit);
    emitMapValues();
}

void ChSubWidget::slot_maxEditChange()
{
    maxValue = editValue(maxEdit);
    emitMapValues();
}

void ChSubWidget::emitMapValues()
{
    emit sig_mapValueChange(id, minValue, midValue, maxValue);
}

// The button keeps showing the current direction until the device reports the new one.
void ChSubWidget::slot_forwardChange()
{
    if (forwardValue) {
        directionButton->setText(tr("zhengc2"));
        emit sig_forwardValueChange(id, false);
    } else {
        directionButton->setText(tr("fanxian2"));
        emit sig_forwardValueChange(id, true);
    }
}

void ChSubWidget::slot_chChange(int index)
{
    uint8_t type = 0;
    uint8_t entityId = 0;
    if (sourceForIndex(index, type, entityId))
        emit sig_chValueChange(id, type, entityId);
}
