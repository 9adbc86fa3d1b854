#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QRectF>

class QPainter;

// Colours shared by all generated pictures, so that the window, the buttons and the icons
// read as one design.
namespace Palette {
inline const QColor Blue{0x20, 0x94, 0xfe};
inline const QColor BlueDark{0x0b, 0x7b, 0xe2};
inline const QColor BandTop{0x24, 0x31, 0x41};
inline const QColor BandBottom{0x1b, 0x24, 0x30};
inline const QColor Content{0xee, 0xf2, 0xf6};
inline const QColor Border{0xcc, 0xcc, 0xcc};
inline const QColor Frame{0xd5, 0xdd, 0xe6};
inline const QColor Glyph{0x7a, 0x85, 0x94};
inline const QColor UsbOn{0x2e, 0xc2, 0x6a};
inline const QColor UsbOff{0x6b, 0x77, 0x85};
inline const QColor Danger{0xe5, 0x48, 0x4d};
} // namespace Palette

QPen roundPen(const QColor &colour, qreal width);
QPainterPath roundedRect(const QRectF &rect, qreal radius);
QRectF inset(const QRectF &rect, qreal margin);

// Rounded blue button face; the hover face is one shade darker.
void drawBlueButton(QPainter &p, const QRectF &rect, bool hover);
// Light grey button face that keeps dark captions legible.
void drawLightButton(QPainter &p, const QRectF &rect);
// White input field with a thin grey border.
void drawField(QPainter &p, const QRectF &rect);
// Filled downward triangle inside the rect.
void drawDownTriangle(QPainter &p, const QRectF &rect, const QColor &colour);
// Top view of a quadcopter: four rotors on diagonal arms around a round body.
void drawDrone(QPainter &p, const QPointF &centre, qreal size, const QColor &colour);
// The USB trident, scaled to fit a square of the given side.
void drawUsbGlyph(QPainter &p, const QPointF &centre, qreal side, const QColor &colour);
