#include "combostyle.h"

QString whiteComboStyle()
{
    return QStringLiteral(
        "QComboBox { background-color: white; border: 1px solid #cccccc; border-radius: 3px;"
        " padding-left: 5px; }"
        "QComboBox::drop-down { border: none; width: 10px; }"
        "QComboBox::down-arrow { image: url(:/img/ch_combox_down); }"
        "QComboBox QAbstractItemView { background-color: white; outline: 0px; }"
        "QComboBox QAbstractItemView::item { height: 15px; }"
        "QComboBox QAbstractItemView::item:selected,"
        " QComboBox QAbstractItemView::item:hover"
        " { background-color: rgb(74, 144, 226); color: white; }"
        "QComboBox QScrollBar:vertical { width: 6px; }");
}
