#include "painting.h"
#include "pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {
// Bands of the main window: the title bar with the page buttons above, the indicator and
// version strip below; the page stack (844 x 442 at 13, 133) covers the light middle.
const qreal TitleBandEnd = 131;
const qreal BottomBandStart = 580;
const QRectF PageStackFrame(12.5, 132.5, 845, 443);

void drawBand(QPainter &p, const QRectF &band)
{
    QLinearGradient fill(band.topLeft(), band.bottomLeft());
    fill.setColorAt(0, Palette::BandTop);
    fill.setColorAt(1, Palette::BandBottom);
    p.fillRect(band, fill);
}

void drawTitleDecoration(QPainter &p, const QRectF &r)
{
    // A soft blue glow behind the top-right corner keeps the dark band from looking flat.
    QRadialGradient glow(QPointF(r.right() - 120, -40), 320);
    glow.setColorAt(0, QColor(32, 148, 254, 60));
    glow.setColorAt(1, QColor(32, 148, 254, 0));
    p.fillRect(QRectF(0, 0, r.width(), TitleBandEnd), glow);
    drawDrone(p, QPointF(30, 24), 30, Palette::Blue);
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    p.drawLine(QPointF(0, 46.5), QPointF(r.width(), 46.5));
    p.setPen(QPen(QColor(32, 148, 254, 140), 1));
    p.drawLine(QPointF(0, TitleBandEnd - 0.5), QPointF(r.width(), TitleBandEnd - 0.5));
}

void drawRemote(QPainter &p, const QRectF &r, const QPointF &deflection)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3a, 0x45, 0x52));
    p.drawRoundedRect(QRectF(r.center().x() - 4, 6, 8, 44), 4, 4);
    for (const qreal x : {26.0, 132.0})
        p.drawRoundedRect(QRectF(x, 42, 8, 16), 3, 3);

    QLinearGradient body(0, 50, 0, r.bottom());
    body.setColorAt(0, QColor(0x34, 0x40, 0x4e));
    body.setColorAt(1, QColor(0x22, 0x2a, 0x34));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(6, 52, r.width() - 12, r.height() - 58), 30, 30);

    QLinearGradient screen(0, 64, 0, 94);
    screen.setColorAt(0, Palette::Blue);
    screen.setColorAt(1, Palette::BlueDark);
    p.setBrush(screen);
    p.drawRoundedRect(QRectF(r.center().x() - 26, 64, 52, 30), 4, 4);

    for (const QPointF &well : {QPointF(48, 138), QPointF(r.width() - 48, 138)}) {
        p.setPen(QPen(QColor(0x4c, 0x58, 0x66), 1.5));
        p.setBrush(QColor(0x1a, 0x21, 0x29));
        p.drawEllipse(well, 25, 25);
        p.setPen(QPen(QColor(255, 255, 255, 60), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(well, 15, 15);
        const QPointF mirror(well.x() < r.center().x() ? -1 : 1, 1);
        const QPointF knob = well + QPointF(deflection.x() * mirror.x(), deflection.y());
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xdd, 0xe3, 0xea));
        p.drawEllipse(knob, 7, 7);
    }
}
} // namespace

void paintWindowBackground(QPainter &p, const QRectF &r)
{
    p.setClipPath(roundedRect(r, 8));
    p.fillRect(r, Palette::Content);
    drawBand(p, QRectF(0, 0, r.width(), TitleBandEnd));
    drawBand(p, QRectF(0, BottomBandStart, r.width(), r.height() - BottomBandStart));
    drawTitleDecoration(p, r);
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    p.drawLine(QPointF(0, BottomBandStart + 0.5), QPointF(r.width(), BottomBandStart + 0.5));
    p.setPen(QPen(Palette::Frame, 1));
    p.setBrush(Qt::white);
    p.drawRect(PageStackFrame);
}

void paintPageHighlight(QPainter &p, const QRectF &r)
{
    QLinearGradient wash(r.topLeft(), r.bottomLeft());
    wash.setColorAt(0, QColor(32, 148, 254, 0));
    wash.setColorAt(1, QColor(32, 148, 254, 70));
    p.fillRect(r, wash);
    p.fillRect(QRectF(r.left() + 16, r.bottom() - 3, r.width() - 32, 3), Palette::Blue);
}

void paintAppIcon(QPainter &p, const QRectF &r)
{
    const qreal side = qMin(r.width(), r.height());
    QLinearGradient face(r.topLeft(), r.bottomRight());
    face.setColorAt(0, Palette::Blue);
    face.setColorAt(1, Palette::BlueDark.darker(115));
    p.fillPath(roundedRect(r, side * 0.2), face);
    drawDrone(p, r.center(), side * 0.82, Qt::white);
}

void paintStickGrid(QPainter &p, const QRectF &r)
{
    const QPointF centre = r.center();
    p.setPen(QPen(Palette::Frame, 1));
    p.setBrush(QColor(0xf7, 0xf9, 0xfc));
    p.drawRoundedRect(inset(r, 0.5), 6, 6);

    p.setPen(QPen(QColor(0xe3, 0xe9, 0xef), 1));
    for (int step = 1; step <= 3; ++step) {
        for (const int sign : {-1, 1}) {
            const qreal offset = centre.x() + sign * step * 18;
            p.drawLine(QPointF(offset, 4), QPointF(offset, r.bottom() - 4));
            p.drawLine(QPointF(4, offset), QPointF(r.right() - 4, offset));
        }
    }
    p.setPen(QPen(QColor(0xd2, 0xdb, 0xe5), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 64, 64);
    p.drawEllipse(centre, 32, 32);

    p.setPen(QPen(QColor(0xa9, 0xb8, 0xc8), 1));
    p.drawLine(QPointF(centre.x(), 3), QPointF(centre.x(), r.bottom() - 3));
    p.drawLine(QPointF(3, centre.y()), QPointF(r.right() - 3, centre.y()));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8d, 0x9c, 0xad));
    p.drawEllipse(centre, 2.5, 2.5);
}

void paintCalibrationPanel(QPainter &p, const QRectF &r)
{
    const QRectF panel = inset(r, 0.5);
    p.setPen(QPen(Palette::Frame, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(panel, 8, 8);
    p.setClipPath(roundedRect(panel, 8));
    p.fillRect(QRectF(0, 0, r.width(), 40), QColor(0xf3, 0xf6, 0xf9));
    p.fillRect(QRectF(0, 0, 4, 40), Palette::Blue);
    p.setPen(QPen(Palette::Frame, 1));
    p.drawLine(QPointF(0, 40.5), QPointF(r.width(), 40.5));
}

void paintCalibrationPage(QPainter &p, const QRectF &r)
{
    p.fillRect(r, Qt::white);
    p.setPen(QPen(Palette::Frame, 1));
    p.setBrush(QColor(0xf7, 0xf9, 0xfc));
    p.drawRoundedRect(QRectF(568.5, 330.5, r.width() - 580, r.height() - 342), 8, 8);
}

void paintRemoteCentred(QPainter &p, const QRectF &r)
{
    drawRemote(p, r, QPointF(0, 0));
}

void paintRemoteDeflected(QPainter &p, const QRectF &r)
{
    drawRemote(p, r, QPointF(-11, -11));
}
