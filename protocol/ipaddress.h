#pragma once

// Dotted IPv4 check for the camera address: only digits and dots, exactly three dots,
// every octet ending at a dot at most 255 (an empty one counts as 0), a last octet from
// 1 to 255, no leading dot, and at most 15 characters. Null is rejected.
bool isValidIp(const char *s);
