#pragma once

#include <cstdint>

// Every protocol byte the assistant and the devices exchange, in one place.
namespace Koru {

enum DeviceId : uint8_t {
    AssistantId = 0xD0,        // source id of every frame the assistant sends
    RemoteControllerId = 0x10, // the device on the USB cable
    ModuleSideId = 0x2C,       // modules reached through the controller
    GimbalCameraId = 0x2E,
};

enum CommandSet : uint8_t {
    RemoteControllerSet = 0x10,
    GimbalSet = 0x11,
    CommonSet = 0xF0,
};

// Command set 0x10
enum RcCommand : uint8_t {
    CMD_ID_CH_VALUES = 0x01,
    CMD_ID_CALIBRATION = 0x04,
    CMD_ID_GET_REVERSE = 0x08,
    CMD_ID_SET_REVERSE = 0x09,
    CMD_ID_GET_ENTITY = 0x0D,
    CMD_ID_SET_ENTITY = 0x0E,
    CMD_ID_GET_MAP = 0x10,
    CMD_ID_SET_MAP = 0x11,
    CMD_ID_PRODUCTION_DATE = 0x24,
    CMD_ID_SET_PRODUCTION_DATE = 0x25,
};

// Command set 0xF0
enum CommonCommand : uint8_t {
    CMD_ID_RESET = 0x04,
    CMD_ID_SHELL_TEXT = 0x07,
    CMD_ID_VERSION = 0x0A,
    CMD_ID_UID = 0x0C,
    CMD_ID_UPGRADE_START = 0x20,
    CMD_ID_UPGRADE_DATA = 0x23,
    CMD_ID_UPGRADE_END = 0x26,
    CMD_ID_SCPZ_VALUES = 0x28,
    CMD_ID_SCXS_VALUES = 0x30,
};

// Command set 0x11
enum GimbalCommand : uint8_t {
    CMD_ID_GET_GIMBAL_CH = 0x04,
    CMD_ID_SET_GIMBAL_CH = 0x05,
    CMD_ID_GET_CAMERA_CONFIG = 0x06,
    CMD_ID_SET_CAMERA_CONFIG = 0x07,
    CMD_ID_GET_CAMERA_IP = 0x08,
    CMD_ID_SET_CAMERA_IP = 0x09,
    CMD_ID_GET_CAMERA_FW = 0x0A,
};

// The USB identity of the remote controller's virtual serial port.
constexpr uint16_t DeviceVendorId = 0x0483;
constexpr uint16_t DeviceProductId = 0x5740;

} // namespace Koru
