#pragma once

#include "protocolids.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace Koru {

// Frame layout: AA ctrl 02 N hdr 01 00 src dst set id payload[N] 66 (N + 12 bytes).
namespace FrameOffset {
constexpr int Start = 0;
constexpr int Control = 1;
constexpr int Protocol = 2;
constexpr int Length = 3;
constexpr int HeaderCheck = 4;
constexpr int FixedWord = 5;
constexpr int Source = 7;
constexpr int Target = 8;
constexpr int Set = 9;
constexpr int Id = 10;
constexpr int Payload = 11;
} // namespace FrameOffset

constexpr uint8_t FrameStart = 0xAA;
constexpr uint8_t FrameTrailer = 0x66;
constexpr uint8_t HeaderMagic = 0x55;
constexpr int FrameOverhead = 12;
constexpr int MaxPayload = 255;
constexpr int MaxFrameSize = MaxPayload + FrameOverhead; // 267
constexpr int MinHeaderBytes = 5;                        // start byte through header check

// Check modes carried in bits 2..4 of the control byte.
enum CheckMode : uint8_t { CheckPlain = 0x00, CheckNone = 0x04, CheckCrc = 0x08 };
constexpr uint8_t CheckModeMask = 0x1C;

inline uint8_t checkModeOf(uint8_t control) { return control & CheckModeMask; }

uint8_t CRC8_cal(const uint8_t *data, size_t count, uint8_t initial);
uint16_t CRC16_cal(const uint8_t *data, size_t count, uint16_t initial);

// Plain 32-bit wrap-around sum of all bytes; returns the width of the sum (4).
int byteSum(const uint8_t *data, size_t count, uint32_t *sum);

// "0x" plus two hex digits -> value of the last two characters; other lengths give 0.
int hexPairToByte(const QString &text);

// Writes a mode-0 frame into out (at least count + 12 bytes) and returns its length.
int buildFrame(uint8_t *out, const uint8_t *payload, uint8_t count, uint8_t set, uint8_t id,
               uint8_t target, uint8_t source = AssistantId);

// Builds a frame in any check mode, as a device would send it. In mode 8 the last two
// bytes carry the CRC-16, so the length byte counts one byte more than the payload.
QByteArray makeFrame(uint8_t source, uint8_t target, uint8_t set, uint8_t id,
                     const QByteArray &payload, CheckMode mode = CheckPlain);

// Header check of the 5 bytes at frame (start byte through header check byte).
bool headerValid(const uint8_t *frame);
// Frame-end check of a whole frame of the given length.
bool frameEndValid(const uint8_t *frame, int length);

inline uint16_t readU16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t readU32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void writeU16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void writeU32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

} // namespace Koru
