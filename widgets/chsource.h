#pragma once

#include <cstdint>

// The 30 entries of a channel's source selector and the (type, entityId) pairs the device
// uses for them. Entry 29 (" ") stands for any pair without an entry of its own.
constexpr int ChSourceCount = 30;
constexpr int ChSourceUnknownIndex = 29;

// The pair sent when the user picks an entry; false for entries that send nothing.
bool sourceForIndex(int index, uint8_t &type, uint8_t &entityId);

// The entry that shows a reported pair.
int indexForSource(uint8_t type, uint8_t entityId);

// Display text of an entry, 0 <= index < ChSourceCount.
const char *sourceName(int index);
