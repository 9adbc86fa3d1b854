#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// A firmware image as koru-flash sends it: read once, completely, before the start command,
// so that the size, checksum and SHA-256 it reports are those of the bytes sent.
struct FirmwareImage
{
    QString path; // as given; "-" is standard input
    QByteArray bytes;
    uint32_t checksum = 0; // the byte sum the end command carries
    QString sha256;        // hexadecimal, lower case

    // Reads path ("-" for standard input; pipes and devices are read to their end). False,
    // with the reason in error, for an unreadable, empty or too large image.
    bool read(const QString &path, QString *error);
};
