#pragma once

#include "devicestate.h"
#include "framereassembler.h"

#include <QString>

namespace Koru {

// One production value on the wire: its id (from 1) and the value as a 32-bit float.
constexpr int ValueRecordSize = 5;

// What a received frame asks the window to refresh after its payload was stored.
enum class Response {
    Ignored,             // bad frame end, unknown (set, id), or a payload too short to read
    ChannelValues,       // updateChUI
    CalibrationStatus,   // updateCaliUI
    ChannelReverse,      // updateChReverseUI(index)
    ChannelEntity,       // updateChEntity(index)
    ChannelMap,          // updateChMap(index)
    ProductionDate,      // value: the date as yyyyMMdd digits
    ProductionDateSet,   // flag: the device accepted the date
    DeviceVersion,       // updateDeviceRow(source, 10)
    DeviceUid,           // updateDeviceRow(source, 12)
    UpgradeAnswer,       // value: the command answered; upgrade members changed
    ScpzValues,          // scpzValues replaced
    ScxsValues,          // scxsValues replaced
    GimbalChannel,       // setChannel on gimbal row index with gimbalCtlCh[index]
    CameraConfig,        // updateCameraConfigUI
    CameraConfigChanged, // read the configuration back
    CameraIp,            // text: setCameraIpText
    CameraFirmware,      // value: updateCameraFwVer
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
// which refresh follows. Never reads beyond the frame's own payload.
DecodedResponse applyResponse(const Frame &frame, DeviceState &state);

// Values of a production value list: floor(N / 5) records [wire id, float].
QVector<ScValue> decodeValueList(const uint8_t *payload, int count);

} // namespace Koru
