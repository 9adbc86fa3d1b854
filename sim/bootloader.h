#pragma once

#include "simulatoroptions.h"

#include <QByteArray>
#include <QVector>

#include <optional>

namespace Koru {

// The upgrade side of one device: takes start, data, end and reset requests and builds
// the status answers, keeping the image being received and the last completed one.
class BootLoader
{
public:
    explicit BootLoader(const SimulatorOptions &options) : options(options) {}

    // Whether the next start request is answered from the application (status 2).
    bool inApplication() const { return application; }
    void setInApplication(bool on) { application = on; }

    QByteArray start(const QByteArray &request);
    // No value when the knob drops this acknowledgement.
    std::optional<QByteArray> data(const QByteArray &request);
    QByteArray end(const QByteArray &request);
    // True when a verified image has just been completed.
    bool reset();

    QByteArray completedImage() const { return completed; }

private:
    void begin(uint32_t size);
    bool imageComplete(uint32_t size, uint32_t checksum) const;

    const SimulatorOptions &options;
    bool application = false;
    bool active = false;
    bool verified = false;
    int packetSize = 0;
    int dataCount = 0;
    QByteArray image;
    QVector<int> packetLengths; // bytes received per packet, -1 = not yet
    QByteArray completed;
};

} // namespace Koru
