#pragma once

#include <QChar>
#include <QString>

#include <cstdint>

// Byte layout of a device's answer to the version query: firmware and boot loader version
// words, then the hardware id text, NUL-padded.
constexpr int FirmwareVersionAt = 0;
constexpr int BootVersionAt = 4;
constexpr int HardwareIdAt = 8;
constexpr int HardwareIdLength = 12;

// Device and camera version words show bits 16..23, 8..15 and 0..7 as "a.b.c"; the top
// byte is not shown.
QString versionText(uint32_t version);
// The hardware id of a version answer, up to its first NUL.
QString hardwareIdText(const uint8_t *versionAnswer);
// The serial number in an identity answer: two groups of eight hex digits.
QString serialNumberText(const uint8_t *identityAnswer, QChar separator);
