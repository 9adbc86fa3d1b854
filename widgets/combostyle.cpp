#include "combostyle.h"

#include <QComboBox>
#include <QListView>

namespace {

// combobox-popup: 0 keeps the popup a list that scrolls, where some styles would open every
// entry around the current one. The item rules take effect only with a QListView as view.
const char *const WhiteComboStyle =
    "QComboBox { background-color: white; border: 1px solid #cccccc; border-radius: 3px;"
    " padding-left: 5px; font-size: 12px; combobox-popup: 0; }"
    "QComboBox:focus { border: 1px solid #0b7be2; }"
    "QComboBox::drop-down { border: none; width: 10px; }"
    "QComboBox::down-arrow { image: url(:/img/ch_combox_down); }"
    "QComboBox QAbstractItemView { background-color: white; outline: 0px; }"
    "QComboBox QAbstractItemView::item { height: 15px; }"
    "QComboBox QAbstractItemView::item:selected,"
    " QComboBox QAbstractItemView::item:hover"
    " { background-color: rgb(74, 144, 226); color: white; }"
    "QComboBox QScrollBar:vertical { width: 6px; background: white; }"
    "QComboBox QScrollBar::handle:vertical { background: #cccccc; min-height: 10px; }"
    "QComboBox QScrollBar::add-line:vertical, QComboBox QScrollBar::sub-line:vertical"
    " { height: 0px; }";

} // namespace

// The style sheet comes first: the view takes its scroll bar policy from the popup kind
// the style names when it is set.
void styleWhiteCombo(QComboBox *combo, int maxVisibleItems, const QString &extraStyle)
{
    combo->setStyleSheet(QLatin1String(WhiteComboStyle) + extraStyle);
    combo->setView(new QListView(combo));
    combo->setMaxVisibleItems(maxVisibleItems);
}
