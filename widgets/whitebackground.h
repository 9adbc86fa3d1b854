#pragma once

class QWidget;

// Gives a page or panel the white, automatically filled background of the light pages.
void fillWhite(QWidget *widget);
