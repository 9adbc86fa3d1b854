#pragma once

class Output;
namespace Koru {
class DeviceLink;
}

// The first SIGINT or SIGTERM stops a transfer after the packet on its way, as the window's
// stop button does; before the transfer (waiting for the device) the program ends at once.
// A second signal ends it the usual way.
void stopOnSignals(Koru::DeviceLink &link, Output &output);
