#include "channelmeter.h"

#include "whitebackground.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>

#include <algorithm>

namespace {

// The style sheet's 1-pixel border around the bar's filled part.
constexpr int BarBorder = 1;
// Where the row's value text sits relative to the bar, and its size: room for "-32768" in
// the label font.
constexpr int ValueLeft = 124;
constexpr int ValueTop = 1;
constexpr int ValueWidth = 38;
constexpr int ValueHeight = 16;
// The font size the style sheet gives every label.
constexpr int ValuePixelSize = 12;

QFont labelFont(QFont font)
{
    font.setPixelSize(ValuePixelSize);
    return font;
}

} // namespace

// What all meters in one font draw from: the value glyphs, looked up once and copied into
// each meter, and the bar pixmaps, drawn again only when the bar size, the page colour or
// the style sheet changes. It lives as long as a meter holds it.
struct ChannelMeter::Look
{
    Look(const QFont &font, const QWidget *widget)
        : font(font), dpi(widget->logicalDpiY()), valueText(font, widget)
    {
    }

    // A bar at any percentage is the full bar up to its fill end and the empty bar after it.
    void makeBarPixmaps(const QPixmap &barPicture, const QColor &pageColour)
    {
        const QString styleSheet = qApp->styleSheet();
        if (!emptyBar.isNull() && emptyBar.size() == barPicture.size() && barColour == pageColour
            && barStyleSheet == styleSheet)
            return;
        barColour = pageColour;
        barStyleSheet = styleSheet;
        QProgressBar styled;
        styled.setObjectName(QStringLiteral("progressBar_test"));
        styled.setTextVisible(false);
        styled.setRange(0, 100);
        styled.resize(barPicture.size());
        const auto draw = [&](int percent, QPixmap &pixmap) {
            styled.setValue(percent);
            pixmap = QPixmap(barPicture.size());
            pixmap.fill(pageColour);
            styled.render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
            QPainter(&pixmap).drawPixmap(0, 0, barPicture);
        };
        draw(0, emptyBar);
        draw(100, fullBar);
    }

    // The look of the meters last made, or a new one when the font differs.
    static std::shared_ptr<Look> shared(const QFont &font, const QWidget *widget)
    {
        static std::weak_ptr<Look> last;
        std::shared_ptr<Look> look = last.lock();
        if (!look || look->font != font || look->dpi != widget->logicalDpiY()) {
            look = std::make_shared<Look>(font, widget);
            last = look;
        }
        return look;
    }

    const QFont font;
    const int dpi;
    const NumberText valueText;
    QPixmap emptyBar;
    QPixmap fullBar;
    QColor barColour;
    QString barStyleSheet;
};

ChannelMeter::ChannelMeter(QWidget *parent)
    : QWidget(parent), barPicture(QStringLiteral(":/img/ch_probar.png")),
      valueArea(ValueLeft, ValueTop, ValueWidth, ValueHeight), look(Look::shared(labelFont(font()), this)),
      valueText(look->valueText)
{
    resize(valueArea.right() + 1, barPicture.height());
    setAttribute(Qt::WA_OpaquePaintEvent);
    valueText.setNumber(shownValue);
}

void ChannelMeter::setValue(int percent, int16_t value)
{
    percent = std::clamp(percent, 0, 100);
    const int before = fillEnd(shownPercent);
    const int after = fillEnd(percent);
    shownPercent = percent;
    if (before != after)
        update(std::min(before, after), 0, std::abs(after - before), barPicture.height());
    if (value != shownValue) {
        shownValue = value;
        valueText.setNumber(value);
        update(valueArea);
    }
}

void ChannelMeter::setLive(bool on)
{
    if (on == live)
        return;
    live = on;
    update();
}

// The first column of the bar left unfilled at the given percentage.
int ChannelMeter::fillEnd(int percent) const
{
    return BarBorder + (barPicture.width() - 2 * BarBorder) * percent / 100;
}

void ChannelMeter::paintEvent(QPaintEvent *event)
{
    const QColor pageColour = colourBehind(this);
    look->makeBarPixmaps(barPicture, pageColour);
    const QPixmap &fullBar = look->fullBar;
    const QPixmap &emptyBar = look->emptyBar;
    QPainter painter(this);
    // A value that is not live is not shown: an empty bar and a dash, faded.
    const int end = fillEnd(live ? shownPercent : 0);
    const int height = barPicture.height();
    if (!live) {
        painter.fillRect(rect(), pageColour);
        painter.setOpacity(FadedOpacity);
    }
    painter.drawPixmap(QPoint(0, 0), fullBar, QRect(0, 0, end, height));
    painter.drawPixmap(QPoint(end, 0), emptyBar, QRect(end, 0, barPicture.width() - end, height));
    painter.fillRect(QRect(barPicture.width(), 0, width() - barPicture.width(), height), pageColour);
    // Last, as the text is clipped to its area like a label's: the font is taller.
    if (event->rect().intersects(valueArea)) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setClipRect(valueArea);
        if (live) {
            valueText.draw(painter, valueText.centredIn(valueArea));
        } else {
            painter.setFont(look->font);
            painter.drawText(valueArea, Qt::AlignCenter, QStringLiteral("\u2014"));
        }
    }
}
