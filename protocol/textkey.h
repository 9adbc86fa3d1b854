#pragma once

#include <QCoreApplication>
#include <QMetaType>
#include <QString>

namespace Koru {

// A text kept as its catalogue entry and translated each time it is shown, so that a text
// that stays on screen follows a language switch. Both pointers name static strings, as
// QT_TRANSLATE_NOOP gives them; an empty key is no text.
struct TextKey
{
    const char *context = nullptr;
    const char *key = nullptr;

    bool isEmpty() const { return !key || !*key; }
    QString text() const { return isEmpty() ? QString() : QCoreApplication::translate(context, key); }
};

} // namespace Koru

Q_DECLARE_METATYPE(Koru::TextKey)
