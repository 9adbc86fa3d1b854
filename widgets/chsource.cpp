#include "chsource.h"

namespace {

struct SourceEntry
{
    const char *name;
    uint8_t type;
    uint8_t entityId;
};

// Entries 0..28 with the pair each one sends and shows. The type numbers are the
// device's; entry 29 is not in the table because it sends nothing.
const SourceEntry Sources[ChSourceUnknownIndex] = {
    {"J1", 0, 0},   {"J2", 0, 1},   {"J3", 0, 2},   {"J4", 0, 3},   {"LD", 0, 4},
    {"RD", 4, 0},   {"SA", 0, 5},   {"SB", 0, 6},   {"SC", 0, 7},   {"SD", 0, 8},
    {"SE", 0, 9},   {"SF", 0, 10},  {"S1", 1, 2},   {"S2", 1, 3},   {"S3", 1, 4},
    {"S4", 1, 5},   {"S5", 1, 6},   {"S6", 1, 7},   {"LT1", 1, 8},  {"LT2", 1, 9},
    {"LT3", 1, 10}, {"LT4", 1, 11}, {"LT5", 1, 12}, {"RT1", 1, 13}, {"RT2", 1, 14},
    {"RT3", 1, 15}, {"RT4", 1, 16}, {"RT5", 1, 17}, {"--", 3, 0}};

} // namespace

bool sourceForIndex(int index, uint8_t &type, uint8_t &entityId)
{
    if (index < 0 || index >= ChSourceUnknownIndex)
        return false;
    type = Sources[index].type;
    entityId = Sources[index].entityId;
    return true;
}

int indexForSource(uint8_t type, uint8_t entityId)
{
    for (int index = 0; index < ChSourceUnknownIndex; ++index) {
        if (Sources[index].type == type && Sources[index].entityId == entityId)
            return index;
    }
    return ChSourceUnknownIndex;
}

const char *sourceName(int index)
{
    return index < ChSourceUnknownIndex ? Sources[index].name : " ";
}
