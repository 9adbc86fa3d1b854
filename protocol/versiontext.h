#pragma once

#include <QString>

#include <cstdint>

// Device and camera version words show bits 16..23, 8..15 and 0..7 as "a.b.c"; the top
// byte is not shown.
QString versionText(uint32_t version);
