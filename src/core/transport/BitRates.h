#pragma once
// The CAN bit rates the tool offers: menu text, the adapter's bit-timing code
// (the value the channel is opened with) and the rate in bits per second for
// back-ends that are configured by rate.
#include <array>
#include <cstdint>
#include <string_view>

struct BitRateEntry {
    std::string_view MenuText;
    int Code;
    int BitsPerSecond;
};

// Indexed by BitRateIndex.
inline constexpr std::array<BitRateEntry, 8> BitRateTable{{
    {"1000", 0x0014, 1000000},
    {"800", 0x0016, 800000},
    {"500", 0x001C, 500000},
    {"250", 0x011C, 250000},
    {"125", 0x031C, 125000},
    {"50", 0x472F, 50000},
    {"20", 0x532F, 20000},
    {"10", 0x672F, 10000},
}};

inline constexpr int DefaultBitRateIndex = 3;
inline constexpr int DefaultBitTimingCode = 0x011C; // 250 kbit/s

// The bit-timing code of a table index; any other index gives 250 kbit/s.
int BitTimingCodeFromIndex(int index);

// The rate of a bit-timing code of the table; 0 for a code not in it.
int BitsPerSecondFromTimingCode(int code);

// The index of a menu text, compared exactly; anything else gives 3 (250).
int16_t BitRateIndexFromText(std::string_view text);
