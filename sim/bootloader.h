#pragma once

#include "simulatoroptions.h"

#include <QByteArray>
#include <QVector>

namespace Koru {

// One answer frame's command id and payload.
struct BootLoaderAnswer
{
    uint8_t commandId;
    QByteArray payload;
};

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
    // The answers to a data or an end request, in the order they leave: none when the knob
    // drops the acknowledgement, more than one when the knobs repeat or add some.
    QVector<BootLoaderAnswer> answer(uint8_t commandId, const QByteArray &request);
    // True when a verified image has just been completed.
    bool reset();

    QByteArray completedImage() const { return completed; }

private:
    QVector<BootLoaderAnswer> data(const QByteArray &request);
    QVector<BootLoaderAnswer> end(const QByteArray &request);
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
