#include "painting.h"
#include "pictures.h"

#include <QLinearGradient>
#include <QPainter>

void paintBlueButton(QPainter &p, const QRectF &r)
{
    drawBlueButton(p, r, false);
}

void paintBlueButtonHover(QPainter &p, const QRectF &r)
{
    drawBlueButton(p, r, true);
}

void paintLightButton(QPainter &p, const QRectF &r)
{
    drawLightButton(p, r);
}

void paintField(QPainter &p, const QRectF &r)
{
    drawField(p, r);
}

void paintComboBox(QPainter &p, const QRectF &r)
{
    drawField(p, r);
    const QPointF arrow(r.right() - 9, r.center().y());
    drawDownTriangle(p, QRectF(arrow.x() - 3, arrow.y() - 2, 6, 4), Palette::Glyph);
}

void paintCheckboxOn(QPainter &p, const QRectF &r)
{
    const QRectF box = inset(r, 0.5);
    p.setPen(QPen(Palette::BlueDark, 1));
    p.setBrush(Palette::Blue);
    p.drawRoundedRect(box, 3, 3);
    p.setPen(roundPen(Qt::white, 1.8));
    p.drawPolyline(QPolygonF({QPointF(4, 8.3), QPointF(7, 11.2), QPointF(12.2, 5.2)}));
}

void paintCheckboxOff(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(0xa9, 0xb4, 0xc0), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(inset(r, 0.5), 3, 3);
}

static void drawCross(QPainter &p, const QPointF &centre, qreal half, const QPen &pen)
{
    p.setPen(pen);
    p.drawLine(centre + QPointF(-half, -half), centre + QPointF(half, half));
    p.drawLine(centre + QPointF(half, -half), centre + QPointF(-half, half));
}

void paintCloseGlyph(QPainter &p, const QRectF &r)
{
    drawCross(p, r.center(), 5, roundPen(Qt::white, 1.8));
}

void paintMinimizeGlyph(QPainter &p, const QRectF &r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(r.left() + 2, r.center().y() - 1, r.width() - 4, 2), 1, 1);
}

void paintItemClose(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(0xb3, 0xbc, 0xc6), 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(r.center(), 8.5, 8.5);
    drawCross(p, r.center(), 3.2, roundPen(Palette::Glyph, 1.6));
}

void paintItemCloseHover(QPainter &p, const QRectF &r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::Danger);
    p.drawEllipse(r.center(), 9, 9);
    drawCross(p, r.center(), 3.2, roundPen(Qt::white, 1.6));
}

void paintLanguageArrow(QPainter &p, const QRectF &r)
{
    p.setPen(roundPen(Palette::Border, 1.6));
    p.drawPolyline(QPolygonF({QPointF(r.left() + 2, r.top() + 2.5), QPointF(r.center().x(), 6),
                              QPointF(r.right() - 2, r.top() + 2.5)}));
}

void paintComboArrow(QPainter &p, const QRectF &r)
{
    drawDownTriangle(p, r.adjusted(0.3, 0.3, -0.3, -0.3), Palette::Glyph);
}

// Lies over the channel bar: square corners are masked with the page's white so the chunk
// looks rounded, a faint frame outlines the track and a gloss band shades the upper half.
void paintBarOverlay(QPainter &p, const QRectF &r)
{
    const QPainterPath track = roundedRect(inset(r, 0.5), 5);
    QPainterPath corners;
    corners.addRect(r);
    p.fillPath(corners.subtracted(track), Qt::white);

    QLinearGradient gloss(r.topLeft(), r.bottomLeft());
    gloss.setColorAt(0, QColor(255, 255, 255, 110));
    gloss.setColorAt(0.5, QColor(255, 255, 255, 20));
    gloss.setColorAt(0.51, QColor(255, 255, 255, 0));
    p.fillPath(roundedRect(inset(r, 1.5), 4), gloss);

    p.setPen(QPen(QColor(0x8a, 0x98, 0xa8, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(track);
}

void paintPoint(QPainter &p, const QRectF &r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::Blue);
    p.drawEllipse(r.center(), 4, 4);
    p.setBrush(Qt::white);
    p.drawEllipse(r.center(), 1.5, 1.5);
}
