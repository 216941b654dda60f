#include "core/transport/BitRates.h"

int BitTimingCodeFromIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(BitRateTable.size()))
        return DefaultBitTimingCode;
    return BitRateTable[static_cast<size_t>(index)].Code;
}

int BitsPerSecondFromTimingCode(int code)
{
    for (const BitRateEntry& e : BitRateTable)
        if (e.Code == code)
            return e.BitsPerSecond;
    return 0;
}

int16_t BitRateIndexFromText(std::string_view text)
{
    for (size_t i = 0; i < BitRateTable.size(); ++i)
        if (BitRateTable[i].MenuText == text)
            return static_cast<int16_t>(i);
    return DefaultBitRateIndex;
}
