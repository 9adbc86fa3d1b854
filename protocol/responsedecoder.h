#pragma once

#include "devicestate.h"
#include "framereassembler.h"

#include <QString>

namespace Koru {

// One production value on the wire: its id (from 1) and the value as a 32-bit float.
constexpr int ValueRecordSize = 5;

// What a received frame changed, once its payload is stored in the device state. The link
// announces every kind but Ignored; each page acts on the kinds it shows.
enum class Response {
    Ignored,             // bad frame end, unknown (set, id), or a payload too short to read
    ChannelValues,       // chValues, as many as the report carries
    CalibrationStatus,   // caliStatus
    ChannelReverse,      // chReverse of channel index
    ChannelEntity,       // chEntityType and chEntityId of channel index
    ChannelMap,          // chMin, chMid and chMax of channel index
    ProductionDate,      // value: the date as yyyyMMdd digits
    ProductionDateSet,   // flag: the device accepted the date
    DeviceVersion,       // deviceVersion of source
    DeviceUid,           // deviceUid of source
    UpgradeAnswer,       // value: the command answered; the upgrade members changed
    ScpzValues,          // scpzValues replaced
    ScxsValues,          // scxsValues replaced
    GimbalChannel,       // gimbalCtlCh[index]
    CameraConfig,        // cameraResolution and cameraCodeFormat
    CameraConfigChanged, // the answer to a camera configuration set
    CameraIp,            // text: the camera's IP address
    CameraFirmware,      // value: the camera's firmware version
    ShellText,           // text: a device's shell answer, from source
};

struct DecodedResponse
{
    Response kind = Response::Ignored;
    uint8_t source = 0; // the device that sent the frame
    int index = -1; // channel or gimbal row index; -1 for all rows
    uint32_t value = 0;
    bool flag = false;
    QString text;
};

// Checks the frame end, stores the payload in state as the response table says and tells
// what changed. Never reads beyond the frame's own payload.
DecodedResponse applyResponse(const Frame &frame, DeviceState &state);

// Values of a production value list: floor(N / 5) records [wire id, float].
QVector<ScValue> decodeValueList(const uint8_t *payload, int count);

} // namespace Koru
