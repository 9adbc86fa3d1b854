#pragma once

#include "numbertext.h"

#include <QPen>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <cstdint>

// One stick position: a dot on the cross picture with dashed guides to the centre lines
// and the two raw channel values as text.
class CrossWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CrossWidget(QWidget *parent);

    // x and y are percentages, clamped to 0..100 after being read as signed 16-bit.
    void setPosition(int x, int y, int xValue, int yValue);
    // The clamped percentages last set, as (x, y).
    QPoint stickPercent() const;
    // While not live (no controller, or no report yet) only the faded picture is drawn.
    void setLive(bool on);
    bool isLive() const { return live; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const QPixmap &backdrop(const QColor &pageColour);
    QRect drawnArea() const;

    int16_t xPercent = 0;
    int16_t yPercent = 0;
    int16_t xValue = 0;
    int16_t yValue = 0;
    bool live = false;
    QPixmap background;
    QPixmap backdropCache;
    QColor backdropColour;
    QPen dashPen;
    QRect valueTextBox;
    NumberText valueText;
};
