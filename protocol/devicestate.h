#pragma once

#include <QVector>

#include <cstdint>

constexpr int ChannelCount = 16;
constexpr int GimbalFunctionCount = 11;

// One production value: id counted from 0 (the wire id is one more), 32-bit float value.
struct ScValue
{
    uint8_t id = 0;
    float value = 0;
};

// Everything the devices report, as the receive path stores it. Channel c of the wire
// is index c - 1 here. Multi-byte wire fields are little-endian.
struct DeviceState
{
    int16_t chValues[ChannelCount] = {};
    uint8_t caliStatus[3] = {};
    uint8_t chReverse[ChannelCount] = {};
    uint8_t chEntityType[ChannelCount] = {};
    uint8_t chEntityId[ChannelCount] = {};
    uint16_t chMin[ChannelCount] = {};
    uint16_t chMid[ChannelCount] = {};
    uint16_t chMax[ChannelCount] = {};

    uint8_t deviceVersion[20] = {}; // firmware u32, boot loader u32, hardware id text (12)
    uint8_t deviceUid[16] = {};

    // Upgrade answers; the upgrade procedure reads and clears them.
    uint8_t upgMode = 0;
    bool upgStartAnswered = false; // any answer to the upgrade start, whatever its status
    uint8_t onePackSize = 0;
    bool upgAckFlag = false;
    uint16_t upgAckIndex = 0;
    uint8_t upgErrorStage = 0;
    int8_t upgErrorCode = 0;

    QVector<ScValue> scpzValues;
    QVector<ScValue> scxsValues;

    uint8_t gimbalCtlCh[GimbalFunctionCount] = {};
    uint8_t cameraResolution = 0;
    uint8_t cameraCodeFormat = 0;
    bool ipReceived = false;
};
