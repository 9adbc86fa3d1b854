#include "crosswidget.h"

#include "whitebackground.h"

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QRectF>

namespace {

const QColor DotColour(11, 123, 226);
// The picture is 146 pixels wide with a 15-pixel margin; 50 % falls on the centre lines.
constexpr qreal PictureOffset = 15;
constexpr qreal PictureSize = 146;
constexpr qreal Centre = 88;
constexpr int DotSize = 8;
// The value text's baseline starts this far right of and above the dot's centre.
constexpr qreal TextOffset = 4;

int16_t clampPercent(int value)
{
    const auto percent = static_cast<int16_t>(value);
    return percent < 0 ? 0 : (percent > 100 ? 100 : percent);
}

qreal toPixel(int16_t percent)
{
    return percent * PictureSize / 100 + PictureOffset;
}

} // namespace

CrossWidget::CrossWidget(QWidget *parent)
    : QWidget(parent), background(QStringLiteral(":/img/xy")), dashPen(QColor(0, 99, 192)),
      valueText(QFont(QString(), 4, 2), this)
{
    resize(226, 176);
    setAttribute(Qt::WA_OpaquePaintEvent);
    dashPen.setWidth(1);
    dashPen.setDashPattern({5, 3, 5, 3});
    valueTextBox = valueText.widestPairBox().toAlignedRect();
    valueText.setPair(xValue, yValue);
}

void CrossWidget::setPosition(int x, int y, int newXValue, int newYValue)
{
    const int16_t values[] = {clampPercent(x), clampPercent(y), static_cast<int16_t>(newXValue),
                              static_cast<int16_t>(newYValue)};
    if (values[0] == xPercent && values[1] == yPercent && values[2] == xValue && values[3] == yValue)
        return;
    const QRect before = drawnArea();
    xPercent = values[0];
    yPercent = values[1];
    xValue = values[2];
    yValue = values[3];
    valueText.setPair(xValue, yValue);
    // Only what the old and the new position cover is painted again.
    update(before.united(drawnArea()));
}

// What the guides, the dot and the value text of the current position cover.
QRect CrossWidget::drawnArea() const
{
    const QPoint dot(qRound(toPixel(xPercent)), qRound(toPixel(yPercent)));
    const QPoint centre(qRound(Centre), qRound(Centre));
    const QRect guides = QRect(dot, centre).normalized();
    const QRect text = valueTextBox.translated(dot + QPoint(int(TextOffset), -int(TextOffset)));
    return guides.united(text).adjusted(-DotSize, -DotSize, DotSize, DotSize);
}

QPoint CrossWidget::stickPercent() const
{
    return {xPercent, yPercent};
}

// The picture on the page's own background, drawn once: the stick moves with every refresh
// of the channel page (about 30 a second), and copying an opaque pixmap is far cheaper than
// blending the picture each time.
const QPixmap &CrossWidget::backdrop(const QColor &pageColour)
{
    if (backdropCache.size() != size() || backdropColour != pageColour) {
        backdropColour = pageColour;
        backdropCache = QPixmap(size());
        backdropCache.fill(pageColour);
        QPainter painter(&backdropCache);
        painter.drawPixmap(QRectF(PictureOffset, PictureOffset, PictureSize, PictureSize), background,
                           QRectF(background.rect()));
    }
    return backdropCache;
}

void CrossWidget::setLive(bool on)
{
    if (on == live)
        return;
    live = on;
    update();
}

void CrossWidget::paintEvent(QPaintEvent *event)
{
    const qreal px = toPixel(xPercent);
    const qreal py = toPixel(yPercent);
    const QColor pageColour = colourBehind(this);
    if (!live) {
        QPainter painter(this);
        painter.fillRect(rect(), pageColour);
        painter.setOpacity(FadedOpacity);
        painter.drawPixmap(0, 0, backdrop(pageColour));
        return;
    }
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, backdrop(pageColour));
        painter.setPen(DotColour);
        valueText.draw(painter, QPointF(px + TextOffset, py - TextOffset));
        painter.setPen(dashPen);
        painter.drawLine(QLineF(px, py, px, Centre));
        painter.drawLine(QLineF(px, py, Centre, py));
        painter.setBrush(DotColour);
        painter.drawEllipse(static_cast<int>(px - DotSize / 2), static_cast<int>(py - DotSize / 2),
                            DotSize, DotSize);
    }
    QWidget::paintEvent(event);
}
