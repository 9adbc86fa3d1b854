#pragma once

#include "numbertext.h"

#include <QPixmap>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <memory>

// The live part of a channel row: the bar picture filled to the channel's percentage and
// the channel's value beside it. The bar is painted from two pixmaps that the style sheet
// draws once (QProgressBar#progressBar_test under the bar picture), and only the part of
// the bar or the text whose shown value changed is painted again: a style-sheet progress
// bar and label cost many times as much per change. The meters of a page share the glyphs
// and the two pixmaps.
class ChannelMeter : public QWidget
{
    Q_OBJECT

public:
    explicit ChannelMeter(QWidget *parent);

    // percent is clamped to 0..100.
    void setValue(int percent, int16_t value);
    int percent() const { return shownPercent; }
    int16_t value() const { return shownValue; }
    // Where the value text is drawn, centred.
    QRect valueRect() const { return valueArea; }
    // While not live (no controller, or no report yet) the meter is drawn faded, with an
    // empty bar and a dash for its value; the values set meanwhile show once it is live.
    void setLive(bool on);
    bool isLive() const { return live; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Look;

    int fillEnd(int percent) const;

    int shownPercent = 90;
    int16_t shownValue = 1000;
    bool live = false;
    QPixmap barPicture;
    QRect valueArea;
    std::shared_ptr<Look> look;
    NumberText valueText;
};
