#pragma once

#include <QString>

// Inline style of the selectors on the white pages: a white box with a thin grey border,
// the small arrow picture, 15-pixel list items with a blue selection and a thin scroll bar.
// The item rules take effect only when the combo box uses a QListView as its view.
QString whiteComboStyle();
