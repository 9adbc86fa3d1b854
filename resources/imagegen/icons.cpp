#include "painting.h"
#include "pictures.h"

#include <QPainter>
#include <QTransform>

#include <iterator>

namespace {
const qreal Stroke = 2.0;

// One slider: a rail broken around its hollow knob.
void drawSlider(QPainter &p, qreal y, qreal left, qreal right, qreal knob)
{
    const qreal radius = 2.6;
    p.drawLine(QPointF(left, y), QPointF(knob - radius, y));
    p.drawLine(QPointF(knob + radius, y), QPointF(right, y));
    p.drawEllipse(QPointF(knob, y), radius, radius);
}

QPainterPath wrenchOutline()
{
    QPainterPath head;
    head.addEllipse(QPointF(0, -6.5), 6.2, 6.2);
    QPainterPath jaw;
    jaw.addRect(QRectF(-2.4, -14, 4.8, 7.5));
    QPainterPath handle;
    handle.addRoundedRect(QRectF(-2.6, -4, 5.2, 15.5), 2.6, 2.6);
    return head.subtracted(jaw).united(handle).simplified();
}

void drawUsbBadge(QPainter &p, const QRectF &r, const QColor &fill)
{
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(r.center(), 9.5, 9.5);
    drawUsbGlyph(p, r.center(), 16, Qt::white);
}
} // namespace

void paintSettingIcon(QPainter &p, const QRectF &)
{
    p.setPen(roundPen(Qt::white, Stroke));
    p.setBrush(Qt::NoBrush);
    drawSlider(p, 7.5, 4, 24, 10);
    drawSlider(p, 14, 4, 24, 18.5);
    drawSlider(p, 20.5, 4, 24, 12.5);
}

void paintUploadIcon(QPainter &p, const QRectF &)
{
    p.setPen(roundPen(Qt::white, Stroke));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(14, 4.5), QPointF(14, 18));
    p.drawPolyline(QPolygonF({QPointF(8.5, 10), QPointF(14, 4.5), QPointF(19.5, 10)}));
    p.drawPolyline(QPolygonF({QPointF(4.5, 17), QPointF(4.5, 23.5), QPointF(23.5, 23.5),
                              QPointF(23.5, 17)}));
}

void paintFixIcon(QPainter &p, const QRectF &r)
{
    QTransform place;
    place.translate(r.center().x(), r.center().y());
    place.rotate(45);
    p.setPen(roundPen(Qt::white, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(place.map(wrenchOutline()));
}

void paintProductionIcon(QPainter &p, const QRectF &)
{
    const QPointF outline[] = {{4.5, 27},  {4.5, 14.5}, {10.5, 18.5}, {10.5, 14.5}, {16.5, 18.5},
                               {16.5, 14.5}, {22, 18},  {22, 5.5},   {27.5, 5.5},  {27.5, 27}};
    p.setPen(roundPen(Qt::white, Stroke));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(outline, int(std::size(outline)));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (const qreal x : {8.0, 13.5, 19.0})
        p.drawRect(QRectF(x, 21.5, 3, 3));
}

void paintProductionConfigIcon(QPainter &p, const QRectF &)
{
    p.setPen(roundPen(Qt::white, Stroke));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(6.5, 6.5, 19, 22), 2.5, 2.5);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(11.5, 3.5, 9, 5), 1.5, 1.5);
    p.drawPolyline(QPolygonF({QPointF(10.5, 15.5), QPointF(12.5, 17.5), QPointF(15.5, 14)}));
    p.drawLine(QPointF(18, 16), QPointF(22, 16));
    p.drawPolyline(QPolygonF({QPointF(10.5, 22.5), QPointF(12.5, 24.5), QPointF(15.5, 21)}));
    p.drawLine(QPointF(18, 23), QPointF(22, 23));
}

void paintUsbOn(QPainter &p, const QRectF &r)
{
    drawUsbBadge(p, r, Palette::UsbOn);
}

void paintUsbOff(QPainter &p, const QRectF &r)
{
    drawUsbBadge(p, r, Palette::UsbOff);
}
