#pragma once

#include "simulatoroptions.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <array>
#include <optional>

namespace Koru {

// The remote controller's channel settings, stick calibration and production date, and
// the live channel values its sticks and switches produce.
class RemoteController
{
public:
    static constexpr int ChannelCount = 16;

    struct Channel
    {
        uint8_t direction = 1; // 1 normal, anything else reversed
        uint8_t sourceType = 0;
        uint8_t sourceId = 0;
        uint16_t min = 1000;
        uint16_t mid = 1500;
        uint16_t max = 2000;
    };

    explicit RemoteController(const SimulatorOptions &options);

    // Factory settings of all channels ("model_default").
    void restoreDefaults();

    // Answers a request of command set 0x10; no value when nothing is answered.
    std::optional<QByteArray> handle(uint8_t commandId, const QByteArray &request);

    // Payload of a live value report: 16 signed 16-bit values at the given time.
    QByteArray liveValues(double seconds) const;

private:
    enum CalibrationState : uint8_t { NotStarted, Centre, Extremes, Complete };

    std::optional<QByteArray> query(uint8_t commandId, int index) const;
    void set(uint8_t commandId, int index, const QByteArray &request);
    QByteArray calibrate(uint8_t step);
    std::optional<QByteArray> productionDate(uint8_t commandId, const QByteArray &request);

    const SimulatorOptions &options;
    std::array<Channel, ChannelCount> channels;
    CalibrationState calibration = NotStarted;
    QElapsedTimer centreClock;
    uint32_t date = 20240315;
};

} // namespace Koru
