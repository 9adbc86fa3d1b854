#pragma once

#include <QComboBox>

// What a pick from the selector's popup does: the entry becomes current and the selector
// announces the user's choice.
inline void pickEntry(QComboBox *selector, int index)
{
    selector->setCurrentIndex(index);
    emit selector->activated(index);
}
