#pragma once

class Output;
namespace Koru {
class DeviceLink;
}

// Prints every device that answers the identity and version poll the link sent when it
// opened the port: a table, or a JSON array for scripts. Returns koru-flash's exit status.
int listDevices(Koru::DeviceLink &link, bool json, Output &output);
