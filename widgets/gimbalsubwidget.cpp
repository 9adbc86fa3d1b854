#include "gimbalsubwidget.h"

#include "combostyle.h"

#include <QComboBox>
#include <QDebug>
#include <QLabel>

namespace {
constexpr int ChannelCount = 16;
}

GimbalSubWidget::GimbalSubWidget(QWidget *parent)
    : QWidget(parent), label(new QLabel(this)), channelSelector(new QComboBox(this))
{
    resize(109, 20);
    label->setObjectName(QStringLiteral("GimbalChLabel"));
    label->setGeometry(0, 4, 68, 16);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    styleWhiteCombo(channelSelector, 6);
    channelSelector->setGeometry(74, 0, 35, 20);
    for (int channel = 1; channel <= ChannelCount; ++channel)
        channelSelector->addItem(QString::number(channel));
    channelSelector->addItem(QStringLiteral("-"));
    clearChannel();
    // Only the user's pick is sent; a reported channel sets the index without it.
    connect(channelSelector, QOverload<int>::of(&QComboBox::activated), this, &GimbalSubWidget::slot_GimbalChange);
}

void GimbalSubWidget::setId(int newId)
{
    id = newId;
}

void GimbalSubWidget::setLabelText(const QString &text)
{
    label->setText(text);
    channelSelector->setAccessibleName(text.trimmed());
}

// An index beyond the entries leaves the selector without a current entry.
void GimbalSubWidget::setChannel(uint8_t ch)
{
    channelSelector->setCurrentIndex(ch);
    channelSelector->setEnabled(true);
}

void GimbalSubWidget::clearChannel()
{
    channelSelector->setEnabled(false);
    channelSelector->setCurrentIndex(-1);
}

void GimbalSubWidget::slot_GimbalChange(int index)
{
    qDebug() << "id" << id << "slot_GimbalChange(int)" << index;
    emit sig_gimbalCTL_CH_Change(id, static_cast<uint8_t>(index));
}
