#include "ipaddress.h"

namespace {

constexpr int MaxIpLength = 15;
constexpr int MaxOctet = 255;
constexpr int DotCount = 3;

} // namespace

bool isValidIp(const char *s)
{
    if (s == nullptr || s[0] == '.')
        return false;
    int dots = 0;
    int octet = 0;
    for (int i = 0; s[i] != '\0'; ++i) {
        if (i == MaxIpLength)
            return false;
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            // Saturate just above the limit: a long run of digits must not overflow.
            const int grown = octet * 10 + (c - '0');
            octet = grown > MaxOctet ? MaxOctet + 1 : grown;
        } else if (c == '.') {
            if (octet > MaxOctet)
                return false;
            ++dots;
            octet = 0;
        } else {
            return false;
        }
    }
    return dots == DotCount && octet >= 1 && octet <= MaxOctet;
}
