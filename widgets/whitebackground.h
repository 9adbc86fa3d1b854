#pragma once

#include <QColor>

class QWidget;

// Gives a page or panel the white, automatically filled background of the light pages.
void fillWhite(QWidget *widget);

// The colour a widget is seen on: the window colour of the nearest ancestor that fills
// its background (of the window when none does).
QColor colourBehind(const QWidget *widget);

// How strongly a display of live values (a stick, a channel meter) is drawn while they are
// not live.
constexpr qreal FadedOpacity = 0.3;
