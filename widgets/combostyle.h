#pragma once

#include <QString>

class QComboBox;

// Gives a selector on a white page its look: a white box with a thin grey border, the
// small arrow picture, and a list popup of at most maxVisibleItems 15-pixel rows with a
// blue selection that scrolls with a thin bar. extraStyle is added to the style sheet.
void styleWhiteCombo(QComboBox *combo, int maxVisibleItems, const QString &extraStyle = {});
