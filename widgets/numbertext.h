#pragma once

#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <QRectF>

#include <array>
#include <cstdint>

class QPaintDevice;
class QPainter;

// Draws signed 16-bit numbers, one or two of them joined by a comma, from glyphs looked up
// once. A live display redraws its numbers many times a second; going through QPainter's
// text layout each time shapes every string anew, which costs more than the rest of the
// painting together. Digits are laid out with their plain advances, as the layout does.
class NumberText
{
public:
    // The font as painted on the device, at the device's DPI.
    NumberText(const QFont &shownFont, const QPaintDevice *device);

    // Sets the text to the number, or to "first,second".
    void setNumber(int16_t value);
    void setPair(int16_t first, int16_t second);

    // Draws the text set with its baseline starting at origin.
    void draw(QPainter &painter, const QPointF &origin) const;
    // Where the baseline starts for the text to sit centred in area, as QPainter::drawText
    // places it with Qt::AlignCenter.
    QPointF centredIn(const QRectF &area) const;
    // What the widest text setPair() can give, two signed five-digit numbers, covers by
    // advances, ascent and descent, around the start of its baseline.
    QRectF widestPairBox() const;

private:
    static constexpr int MaxLength = 13; // "-32768,-32768"
    static constexpr int SymbolCount = 12; // the digits, '-' and ','

    void setText(const char *text, int length);

    QRawFont font;
    std::array<quint32, SymbolCount> symbolGlyphs{};
    std::array<qreal, SymbolCount> symbolAdvances{};
    std::array<quint32, MaxLength> glyphs{};
    std::array<QPointF, MaxLength> positions{};
    int length = 0;
    qreal textWidth = 0;
};
