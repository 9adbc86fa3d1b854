#pragma once

#include "portenumerator.h"

#include <QString>

#include <cstdint>

class Output;
struct DeviceState;
namespace Koru {
class DeviceLink;
struct DecodedResponse;
}

// One device's answers to the identity and version poll, as shown. The serial number comes
// from the identity answer, the rest from the version answer; a text stays empty until its
// answer arrives.
struct DeviceInfo
{
    QString hardwareId;
    QString serialNumber;
    QString bootLoaderVersion;
    QString firmwareVersion;
};

// Stores what a version or identity answer tells of its device; false for other answers.
bool takeDeviceAnswer(const Koru::DecodedResponse &response, const DeviceState &state, DeviceInfo *device);

// Prints every device that answers the identity and version poll the link sent when it
// opened the port, and the controllers plugged in: tables, or one JSON document for
// scripts. Returns koru-flash's exit status.
int listDevices(Koru::DeviceLink &link, const QList<PortInfo> &controllers, Output &output);
