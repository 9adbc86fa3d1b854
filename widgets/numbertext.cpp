#include "numbertext.h"

#include <QGlyphRun>
#include <QPainter>
#include <QVector>

#include <algorithm>
#include <charconv>

namespace {

const char Symbols[] = "0123456789-,";
constexpr int NumberLength = 6; // "-32768"

int symbolIndex(char c)
{
    if (c == '-')
        return 10;
    if (c == ',')
        return 11;
    return c - '0';
}

} // namespace

NumberText::NumberText(const QFont &shownFont, const QPaintDevice *device)
    : font(QRawFont::fromFont(QFont(shownFont, device)))
{
    const QVector<quint32> indexes = font.glyphIndexesForString(QString::fromLatin1(Symbols));
    const QVector<QPointF> advances = font.advancesForGlyphIndexes(indexes);
    for (int i = 0; i < SymbolCount && i < indexes.size(); ++i) {
        symbolGlyphs[size_t(i)] = indexes[i];
        symbolAdvances[size_t(i)] = advances[i].x();
    }
}

void NumberText::setNumber(int16_t value)
{
    char text[NumberLength];
    setText(text, int(std::to_chars(text, text + NumberLength, value).ptr - text));
}

void NumberText::setPair(int16_t first, int16_t second)
{
    char text[2 * NumberLength + 1];
    char *end = std::to_chars(text, text + NumberLength, first).ptr;
    *end = ',';
    end = std::to_chars(end + 1, end + 1 + NumberLength, second).ptr;
    setText(text, int(end - text));
}

void NumberText::setText(const char *text, int count)
{
    length = count;
    qreal x = 0;
    for (int i = 0; i < count; ++i) {
        const auto symbol = size_t(symbolIndex(text[i]));
        glyphs[size_t(i)] = symbolGlyphs[symbol];
        positions[size_t(i)] = QPointF(x, 0);
        x += symbolAdvances[symbol];
    }
    textWidth = x;
}

void NumberText::draw(QPainter &painter, const QPointF &origin) const
{
    QGlyphRun run;
    run.setRawFont(font);
    run.setRawData(glyphs.data(), positions.data(), length);
    painter.drawGlyphRun(origin, run);
}

QPointF NumberText::centredIn(const QRectF &area) const
{
    const qreal height = font.ascent() + font.descent();
    return {area.x() + (area.width() - textWidth) / 2,
            area.y() + (area.height() - height) / 2 + font.ascent()};
}

QRectF NumberText::widestPairBox() const
{
    const auto advance = [this](char c) { return symbolAdvances[size_t(symbolIndex(c))]; };
    // The digits come first in the symbol table, '-' right after them.
    const qreal digit = *std::max_element(symbolAdvances.cbegin(), symbolAdvances.cbegin() + symbolIndex('-'));
    const qreal number = advance('-') + 5 * digit;
    return {0, -font.ascent(), 2 * number + advance(','), font.ascent() + font.descent()};
}
