#include "frame.h"

#include <QDebug>
#include <QLoggingCategory>

#include <array>
#include <cstring>

// One line per checked frame is too much for the log at live-value rates: these lines
// are off unless QT_LOGGING_RULES="koru.frames.checks.debug=true" asks for them.
Q_LOGGING_CATEGORY(lcFrameChecks, "koru.frames.checks", QtInfoMsg)

namespace Koru {
namespace {

std::array<uint8_t, 256> makeCrc8Table()
{
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        uint8_t crc = uint8_t(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint8_t((crc >> 1) ^ 0x8C) : uint8_t(crc >> 1);
        table[i] = crc;
    }
    return table;
}

std::array<uint16_t, 256> makeCrc16Table()
{
    std::array<uint16_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        uint16_t crc = uint16_t(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? uint16_t((crc << 1) ^ 0x1021) : uint16_t(crc << 1);
        table[i] = crc;
    }
    return table;
}

const std::array<uint8_t, 256> crc8Table = makeCrc8Table();
const std::array<uint16_t, 256> crc16Table = makeCrc16Table();

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

uint8_t CRC8_cal(const uint8_t *data, size_t count, uint8_t initial)
{
    uint8_t crc = initial;
    for (size_t i = 0; i < count; ++i)
        crc = crc8Table[crc ^ data[i]];
    return crc;
}

uint16_t CRC16_cal(const uint8_t *data, size_t count, uint16_t initial)
{
    uint16_t crc = initial;
    for (size_t i = 0; i < count; ++i)
        crc = uint16_t(crc << 8) ^ crc16Table[((crc >> 8) ^ data[i]) & 0xFF];
    return crc;
}

int byteSum(const uint8_t *data, size_t count, uint32_t *sum)
{
    uint32_t total = 0;
    for (size_t i = 0; i < count; ++i)
        total += data[i];
    *sum = total;
    return 4;
}

int hexPairToByte(const QString &text)
{
    if (text.size() != 4) {
        qDebug() << "error === send cmd length error";
        return 0;
    }
    return hexDigit(text.at(2)) * 16 + hexDigit(text.at(3));
}

int buildFrame(uint8_t *out, const uint8_t *payload, uint8_t count, uint8_t set, uint8_t id,
               uint8_t target, uint8_t source)
{
    const uint8_t header[FrameOffset::Payload] = {FrameStart, 0x01, 0x02, count, HeaderMagic, 0x01,
                                                 0x00,       source, target, set, id};
    std::memcpy(out, header, sizeof header);
    if (count > 0)
        std::memcpy(out + FrameOffset::Payload, payload, count);
    out[FrameOffset::Payload + count] = FrameTrailer;
    return count + FrameOverhead;
}

QByteArray makeFrame(uint8_t source, uint8_t target, uint8_t set, uint8_t id,
                     const QByteArray &payload, CheckMode mode)
{
    const int lengthByte = payload.size() + (mode == CheckCrc ? 1 : 0);
    Q_ASSERT(lengthByte <= MaxPayload);
    QByteArray frame(lengthByte + FrameOverhead, '\0');
    auto *bytes = reinterpret_cast<uint8_t *>(frame.data());
    buildFrame(bytes, reinterpret_cast<const uint8_t *>(payload.constData()), uint8_t(payload.size()),
               set, id, target, source);
    // Devices send the fixed word as 00 00 and, in the checked modes, the bare mode bits.
    bytes[FrameOffset::Length] = uint8_t(lengthByte);
    bytes[FrameOffset::Control] = mode == CheckPlain ? 0x01 : mode;
    bytes[FrameOffset::FixedWord] = 0x00;
    if (mode == CheckCrc) {
        bytes[FrameOffset::HeaderCheck] = CRC8_cal(bytes, 4, 0);
        const int crcAt = frame.size() - 2;
        writeU16(bytes + crcAt, CRC16_cal(bytes, size_t(crcAt), 0));
    }
    return frame;
}

bool headerValid(const uint8_t *frame)
{
    switch (checkModeOf(frame[FrameOffset::Control])) {
    case CheckPlain:
        return frame[FrameOffset::HeaderCheck] == HeaderMagic;
    case CheckNone:
        return true;
    case CheckCrc:
        if (frame[FrameOffset::HeaderCheck] != CRC8_cal(frame, 4, 0))
            return false;
        qCDebug(lcFrameChecks) << "CRC8_cal head ok";
        return true;
    default:
        return false;
    }
}

bool frameEndValid(const uint8_t *frame, int length)
{
    switch (checkModeOf(frame[FrameOffset::Control])) {
    case CheckPlain:
        return frame[length - 1] == FrameTrailer;
    case CheckNone:
        return true;
    case CheckCrc:
        if (readU16(frame + length - 2) != CRC16_cal(frame, size_t(length - 2), 0))
            return false;
        qCDebug(lcFrameChecks) << "CRC16_cal data ok";
        return true;
    default:
        return false;
    }
}

} // namespace Koru
