#pragma once

#include <QByteArray>
#include <QMap>

#include <cstdint>

namespace Koru {

// The production configuration values the remote controller keeps, and the test values
// it measures for the production display, both as lists of 5-byte records.
class ProductionBench
{
public:
    // Stores one configuration value from a 5-byte record (wire id, 32-bit float).
    void setValue(const QByteArray &record);

    QByteArray configurationList() const;
    // Measured values at the given time (seconds).
    QByteArray displayList(double seconds) const;

private:
    QMap<uint8_t, float> config{{1, 1.0f}, {2, 0.5f}, {3, 11.1f}, {4, 2400.0f}};
};

} // namespace Koru
