#include "upgradeprogresspanel.h"

#include "mypushbutton.h"
#include "whitebackground.h"

#include <QLabel>
#include <QProgressBar>

UpgradeProgressPanel::UpgradeProgressPanel(const QRect &geometry, QWidget *parent)
    : QWidget(parent)
{
    setGeometry(geometry);
    fillWhite(this);
    // The bar sits on the panel's middle line, the label and button around it.
    const int barY = (geometry.height() - 1) / 2;
    const int labelY = barY - 7;

    bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("updatefileProgressBar"));
    bar->setGeometry(0, barY, 180, 6);
    bar->setTextVisible(false);

    percentLabel = new QLabel(QStringLiteral("0%"), this);
    percentLabel->setObjectName(QStringLiteral("bule"));
    percentLabel->setGeometry(190, labelY, 30, 20);

    auto *button = MyPushButton::create(this, "itemClose", QRect(220, labelY, 20, 20));
    connect(button, &MyPushButton::sig_clicked, this, &UpgradeProgressPanel::sig_closeClicked);
    closeButton = button;
    retranslate();
    hide();
}

void UpgradeProgressPanel::retranslate()
{
    closeButton->setAccessibleName(tr("Close the upgrade"));
    bar->setAccessibleName(tr("Upgrade progress"));
}

void UpgradeProgressPanel::setProgress(int maximum, int value)
{
    bar->setRange(0, maximum);
    bar->setValue(value);
    const int span = bar->maximum() - bar->minimum();
    // An empty range has no meaningful share; it reads as nothing done yet.
    const double percent = span == 0 ? 0.0 : (bar->value() - bar->minimum()) * 100.0 / span;
    percentLabel->setText(QString::number(percent, 'f', 0) + QLatin1Char('%'));
}
