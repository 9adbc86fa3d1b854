#include "productionbench.h"

#include "frame.h"

#include <cmath>
#include <cstring>

namespace Koru {
namespace {

constexpr int RecordSize = 5;
constexpr int MaxRecords = 255 / RecordSize;

void appendRecord(QByteArray &list, uint8_t wireId, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    uint8_t record[RecordSize] = {wireId};
    writeU32(record + 1, bits);
    list.append(reinterpret_cast<const char *>(record), RecordSize);
}

} // namespace

void ProductionBench::setValue(const QByteArray &record)
{
    if (record.size() < RecordSize)
        return;
    if (!config.contains(uint8_t(record[0])) && config.size() >= MaxRecords)
        return;
    const uint32_t bits = readU32(reinterpret_cast<const uint8_t *>(record.constData()) + 1);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    config.insert(uint8_t(record[0]), value);
}

QByteArray ProductionBench::configurationList() const
{
    QByteArray list;
    for (auto it = config.cbegin(); it != config.cend(); ++it)
        appendRecord(list, it.key(), it.value());
    return list;
}

QByteArray ProductionBench::displayList(double seconds) const
{
    // Battery voltage, board temperature, link quality, stick supply and a tick counter.
    QByteArray list;
    appendRecord(list, 1, float(7.4 + 0.05 * std::sin(seconds)));
    appendRecord(list, 2, float(36.5 + 0.3 * std::sin(seconds / 7.0)));
    appendRecord(list, 3, float(-62.0 + 3.0 * std::cos(seconds / 3.0)));
    appendRecord(list, 4, 3.3f);
    appendRecord(list, 5, float(std::floor(seconds)));
    return list;
}

} // namespace Koru
