#include "framereassembler.h"
#include "responsedecoder.h"
#include "shelllinecollector.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace Koru;

namespace {

const QString LineEnd = QStringLiteral("\r\n");

// The decoded text is well-formed UTF-16, never longer than its bytes, and either
// encodes back to them or marks what it could not decode.
void checkDecoded(const QByteArray &payload, const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            __builtin_trap();
    }
    if (text.size() > payload.size())
        __builtin_trap();
    if (text.toUtf8() != payload && !text.contains(QChar::ReplacementCharacter))
        __builtin_trap();
}

// Feeds a collector and checks every line against the text fed since the previous one:
// nothing lost, nothing repeated, and nothing held back that should have been shown.
class CollectorCheck
{
public:
    void add(const QString &piece)
    {
        pending += piece;
        const std::optional<QString> line = collector.add(piece);
        const bool complete = pending.endsWith(LineEnd) || pending.size() > ShellLineCollector::MaxPendingChars;
        if (line.has_value() != complete)
            __builtin_trap();
        if (!line)
            return;
        if (*line != (pending.endsWith(LineEnd) ? pending.chopped(LineEnd.size()) : pending))
            __builtin_trap();
        pending.clear();
    }

private:
    ShellLineCollector collector;
    QString pending;
};

} // namespace

// Byte 0 chooses the check mode and how the stream is cut into reads. Then records of a
// length byte and that many bytes become shell-text answers of the remote controller.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static const CheckMode Modes[] = {CheckPlain, CheckNone, CheckCrc};
    const CheckMode mode = Modes[data[0] % 3];
    const int piece = data[0] / 3 % 64 + 1;
    const int maxText = mode == CheckCrc ? MaxPayload - 1 : MaxPayload;

    QList<QByteArray> payloads;
    QByteArray stream;
    for (size_t at = 1; at < size;) {
        const int count = int(std::min<size_t>(std::min(int(data[at]), maxText), size - at - 1));
        payloads << QByteArray(reinterpret_cast<const char *>(data + at + 1), count);
        stream += makeFrame(RemoteControllerId, AssistantId, CommonSet, CMD_ID_SHELL_TEXT, payloads.last(), mode);
        at += size_t(count) + 1;
    }

    FrameReassembler reassembler;
    DeviceState state;
    CollectorCheck lines;
    int decoded = 0;
    for (int at = 0; at < stream.size(); at += piece) {
        reassembler.append(stream.constData() + at, std::min<qsizetype>(piece, stream.size() - at));
        reassembler.takeFrames([&](const Frame &frame) {
            const DecodedResponse response = applyResponse(frame, state);
            if (response.kind != Response::ShellText || decoded == payloads.size())
                __builtin_trap();
            checkDecoded(payloads[decoded++], response.text);
            lines.add(response.text);
        });
    }
    if (decoded != payloads.size())
        __builtin_trap();
    return 0;
}
