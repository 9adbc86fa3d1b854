#include "shelllinecollector.h"


namespace {
const QString LineEnd = QStringLiteral("\r\n");
}

std::optional<QString> ShellLineCollector::add(const QString &piece)
{
    pending += piece;
    if (pending.endsWith(LineEnd))
        pending.chop(LineEnd.size());
    else if (pending.size() <= MaxPendingChars)
        return std::nullopt;
    QString line;
    line.swap(pending);
    return line;
}

namespace {

// The bytes at the end of text that start a UTF-8 character whose remaining bytes have not
// come yet; 0 when the text ends on a whole character (or on bytes no character starts with).
int unfinishedTail(const QByteArray &text)
{
    for (int back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto byte = uint8_t(text.at(text.size() - back));
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: the start lies further back
        const int length = byte >= 0xF0 && byte < 0xF8 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return byte >= 0xF8 || length <= back ? 0 : back;
    }
    return 0;
}

} // namespace

QString ShellTextDecoder::decode(uint8_t source, const char *bytes, int count)
{
    QByteArray &waiting = unfinished[source];
    QByteArray text = waiting + QByteArray::fromRawData(bytes, count);
    const int tail = unfinishedTail(text);
    waiting = text.right(tail);
    text.chop(tail);
    return QString::fromUtf8(text);
}
