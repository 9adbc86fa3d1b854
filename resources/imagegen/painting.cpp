#include "painting.h"

#include <QLinearGradient>
#include <QPainter>
#include <QtMath>

QPen roundPen(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QRectF inset(const QRectF &rect, qreal margin)
{
    return rect.adjusted(margin, margin, -margin, -margin);
}

static qreal buttonRadius(const QRectF &rect)
{
    return qMin(6.0, rect.height() * 0.18);
}

void drawBlueButton(QPainter &p, const QRectF &rect, bool hover)
{
    const QColor base = hover ? Palette::BlueDark : Palette::Blue;
    const qreal radius = buttonRadius(rect);
    QLinearGradient face(rect.topLeft(), rect.bottomLeft());
    face.setColorAt(0, base.lighter(108));
    face.setColorAt(1, base.darker(106));
    p.fillPath(roundedRect(rect, radius), face);
    // A one-pixel sheen along the top edge lifts the face off the page.
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.drawLine(QPointF(rect.left() + radius, rect.top() + 1.5),
               QPointF(rect.right() - radius, rect.top() + 1.5));
}

void drawLightButton(QPainter &p, const QRectF &rect)
{
    const QRectF face = inset(rect, 0.5);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, QColor(0xfa, 0xfb, 0xfd));
    fill.setColorAt(1, QColor(0xec, 0xf0, 0xf4));
    p.setBrush(fill);
    p.setPen(QPen(QColor(0xc4, 0xcd, 0xd7), 1));
    p.drawRoundedRect(face, 4, 4);
}

void drawField(QPainter &p, const QRectF &rect)
{
    p.setBrush(Qt::white);
    p.setPen(QPen(Palette::Border, 1));
    p.drawRoundedRect(inset(rect, 0.5), 3, 3);
}

void drawDownTriangle(QPainter &p, const QRectF &rect, const QColor &colour)
{
    const QPointF points[] = {rect.topLeft(), rect.topRight(),
                              QPointF(rect.center().x(), rect.bottom())};
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(points, 3);
}

void drawDrone(QPainter &p, const QPointF &centre, qreal size, const QColor &colour)
{
    const qreal reach = size * 0.3;
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(colour, size * 0.08));
    for (const QPointF &corner : {QPointF(-1, -1), QPointF(1, -1), QPointF(1, 1), QPointF(-1, 1)})
        p.drawLine(centre, centre + corner * reach * 0.8);
    p.setPen(QPen(colour, size * 0.06));
    for (const QPointF &corner : {QPointF(-1, -1), QPointF(1, -1), QPointF(1, 1), QPointF(-1, 1)})
        p.drawEllipse(centre + corner * reach, size * 0.17, size * 0.17);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(centre, size * 0.12, size * 0.12);
}

void drawUsbGlyph(QPainter &p, const QPointF &centre, qreal side, const QColor &colour)
{
    p.save();
    p.translate(centre);
    p.scale(side / 20.0, side / 20.0);
    p.setPen(roundPen(colour, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(0, -5), QPointF(0, 6));
    p.drawPolyline(QPolygonF({QPointF(0, 3), QPointF(-4, 0), QPointF(-4, -2)}));
    p.drawPolyline(QPolygonF({QPointF(0, 1.5), QPointF(4, -1), QPointF(4, -2.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const QPointF tip[] = {QPointF(0, -8.5), QPointF(-2.3, -5), QPointF(2.3, -5)};
    p.drawPolygon(tip, 3);
    p.drawEllipse(QPointF(-4, -3.2), 1.6, 1.6);
    p.drawRect(QRectF(2.6, -5, 2.8, 2.8));
    p.drawEllipse(QPointF(0, 6.5), 2, 2);
    p.restore();
}
