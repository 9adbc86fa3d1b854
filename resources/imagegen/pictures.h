#pragma once

#include <QRectF>

class QPainter;

// One function per picture. Each paints into a transparent image whose bounds are the rect.

// Window furniture (window.cpp)
void paintWindowBackground(QPainter &p, const QRectF &r);
void paintPageHighlight(QPainter &p, const QRectF &r);
void paintAppIcon(QPainter &p, const QRectF &r);
void paintStickGrid(QPainter &p, const QRectF &r);
void paintCalibrationPanel(QPainter &p, const QRectF &r);
void paintCalibrationPage(QPainter &p, const QRectF &r);
void paintRemoteCentred(QPainter &p, const QRectF &r);
void paintRemoteDeflected(QPainter &p, const QRectF &r);

// Page icons, white line art for the dark title band (icons.cpp)
void paintSettingIcon(QPainter &p, const QRectF &r);
void paintUploadIcon(QPainter &p, const QRectF &r);
void paintFixIcon(QPainter &p, const QRectF &r);
void paintProductionIcon(QPainter &p, const QRectF &r);
void paintProductionConfigIcon(QPainter &p, const QRectF &r);
void paintUsbOn(QPainter &p, const QRectF &r);
void paintUsbOff(QPainter &p, const QRectF &r);

// Controls (controls.cpp)
void paintBlueButton(QPainter &p, const QRectF &r);
void paintBlueButtonHover(QPainter &p, const QRectF &r);
void paintLightButton(QPainter &p, const QRectF &r);
void paintField(QPainter &p, const QRectF &r);
void paintComboBox(QPainter &p, const QRectF &r);
void paintCheckboxOn(QPainter &p, const QRectF &r);
void paintCheckboxOff(QPainter &p, const QRectF &r);
void paintCloseGlyph(QPainter &p, const QRectF &r);
void paintMinimizeGlyph(QPainter &p, const QRectF &r);
void paintItemClose(QPainter &p, const QRectF &r);
void paintItemCloseHover(QPainter &p, const QRectF &r);
void paintLanguageArrow(QPainter &p, const QRectF &r);
void paintComboArrow(QPainter &p, const QRectF &r);
void paintBarOverlay(QPainter &p, const QRectF &r);
void paintPoint(QPainter &p, const QRectF &r);
