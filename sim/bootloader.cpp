#include "bootloader.h"

#include <algorithm>
#include <numeric>

namespace Koru {
namespace {

// Status codes a boot loader reports (the host shows a text per code).
constexpr int8_t StatusWrongFirmware = -3;
constexpr int8_t StatusChecksumError = -7;
constexpr int8_t StatusTransferError = -10;

constexpr uint8_t StatusReady = 1;
constexpr uint8_t StatusApplication = 2;
constexpr uint32_t MaxImageSize = 16u * 1024 * 1024;

const uint8_t *bytesOf(const QByteArray &array)
{
    return reinterpret_cast<const uint8_t *>(array.constData());
}

QByteArray statusOnly(int8_t status) { return QByteArray(1, char(status)); }

BootLoaderAnswer dataAnswer(int8_t status, uint16_t index)
{
    QByteArray payload(3, '\0');
    payload[0] = char(status);
    writeU16(reinterpret_cast<uint8_t *>(payload.data()) + 1, index);
    return {CMD_ID_UPGRADE_DATA, payload};
}

BootLoaderAnswer endAnswer(int8_t status)
{
    return {CMD_ID_UPGRADE_END, statusOnly(status)};
}

} // namespace

QByteArray BootLoader::start(const QByteArray &request)
{
    if (options.refuseStartCode < 0)
        return statusOnly(options.refuseStartCode);
    if (request.size() < 4)
        return statusOnly(StatusTransferError);
    const uint32_t size = readU32(bytesOf(request));
    if (size > MaxImageSize)
        return statusOnly(StatusWrongFirmware);
    begin(size);
    if (application) {
        // The application hands over to the boot loader; the next start finds it ready.
        application = false;
        return statusOnly(int8_t(StatusApplication));
    }
    QByteArray answer;
    answer.append(char(StatusReady)).append(char(packetSize));
    return answer;
}

void BootLoader::begin(uint32_t size)
{
    packetSize = std::clamp(options.packetSize, 1, 253);
    const int packets = std::max(1, int((size + uint32_t(packetSize) - 1) / uint32_t(packetSize)));
    image = QByteArray(int(size), '\0');
    packetLengths = QVector<int>(packets, -1);
    active = true;
    verified = false;
    dataCount = 0;
}

QVector<BootLoaderAnswer> BootLoader::answer(uint8_t commandId, const QByteArray &request)
{
    return commandId == CMD_ID_UPGRADE_DATA ? data(request) : end(request);
}

QVector<BootLoaderAnswer> BootLoader::data(const QByteArray &request)
{
    if (request.size() < 2)
        return {dataAnswer(StatusTransferError, 0)};
    const uint16_t index = readU16(bytesOf(request));
    if (options.refuseDataCode < 0)
        return {dataAnswer(options.refuseDataCode, index)};
    const int length = request.size() - 2;
    const qint64 offset = qint64(index) * packetSize;
    if (!active || index >= packetLengths.size() || length > packetSize
        || offset + length > image.size())
        return {dataAnswer(StatusTransferError, index)};

    image.replace(int(offset), length, request.constData() + 2, length);
    packetLengths[index] = length;
    ++dataCount;
    if (options.dropEveryNthAck > 0 && dataCount % options.dropEveryNthAck == 0)
        return {};
    if (!options.repeatAcks)
        return {dataAnswer(0, index)};
    QVector<BootLoaderAnswer> answers(3, dataAnswer(0, index));
    if (index > 0)
        answers.append(dataAnswer(0, uint16_t(index - 1)));
    return answers;
}

QVector<BootLoaderAnswer> BootLoader::end(const QByteArray &request)
{
    QVector<BootLoaderAnswer> answers;
    if (options.strayAckAtEnd)
        answers.append(dataAnswer(0, uint16_t(packetLengths.size())));
    if (options.refuseEndCode < 0) {
        answers.append(endAnswer(options.refuseEndCode));
    } else if (!active || request.size() < 8) {
        answers.append(endAnswer(StatusTransferError));
    } else {
        const uint32_t size = readU32(bytesOf(request));
        const uint32_t checksum = readU32(bytesOf(request) + 4);
        verified = imageComplete(size, checksum);
        answers.append(endAnswer(verified ? int8_t(StatusReady) : StatusChecksumError));
    }
    return answers;
}

bool BootLoader::imageComplete(uint32_t size, uint32_t checksum) const
{
    if (size != uint32_t(image.size()))
        return false;
    if (std::find(packetLengths.cbegin(), packetLengths.cend(), -1) != packetLengths.cend())
        return false;
    if (std::accumulate(packetLengths.cbegin(), packetLengths.cend(), qint64(0)) != image.size())
        return false;
    uint32_t sum = 0;
    byteSum(bytesOf(image), size_t(image.size()), &sum);
    return sum == checksum;
}

bool BootLoader::reset()
{
    const bool done = active && verified;
    if (done)
        completed = image;
    active = false;
    verified = false;
    return done;
}

} // namespace Koru
