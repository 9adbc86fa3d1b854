#include "shelllinecollector.h"

#include <QTextCodec>
#include <QTextDecoder>

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

ShellTextDecoder::ShellTextDecoder() = default;
ShellTextDecoder::~ShellTextDecoder() = default;

QString ShellTextDecoder::decode(uint8_t source, const char *bytes, int count)
{
    std::unique_ptr<QTextDecoder> &decoder = decoders[source];
    if (!decoder)
        decoder.reset(QTextCodec::codecForMib(106)->makeDecoder()); // 106: UTF-8
    return decoder->toUnicode(bytes, count);
}
