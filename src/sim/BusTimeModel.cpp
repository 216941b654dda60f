#include "sim/BusTimeModel.h"

#include <QStringList>

#include <algorithm>

namespace {

struct RateName {
    const char* Text;
    int BitRate;
};

constexpr RateName RateNames[] = {
    {"125k", 125000}, {"250k", 250000}, {"500k", 500000}, {"1000k", 1000000}, {"1m", 1000000},
};

int DataBytes(const CanMsg& frame) { return std::min<int>(frame.LEN, 8); }

int StuffedBits(const CanMsg& frame)
{
    const int head = frame.MSGTYPE == 2 ? BusTimeModel::ExtendedStuffedBits : BusTimeModel::StandardStuffedBits;
    return head + 8 * DataBytes(frame);
}

} // namespace

BusTimeModel::BusTimeModel(int bitRate) : m_bitRate(std::max(bitRate, 1)) {}

std::optional<BusTimeModel> BusTimeModel::FromText(const QString& text)
{
    const QString t = text.trimmed().toLower();
    for (const RateName& r : RateNames)
        if (t == QLatin1String(r.Text))
            return BusTimeModel(r.BitRate);
    return std::nullopt;
}

QString BusTimeModel::Choices() { return QStringLiteral("125k, 250k, 500k, 1000k"); }

QString BusTimeModel::Text() const
{
    if (m_bitRate % 1000 == 0)
        return QStringLiteral("%1k").arg(m_bitRate / 1000);
    return QStringLiteral("%1").arg(m_bitRate);
}

int BusTimeModel::NominalBits(const CanMsg& frame) { return StuffedBits(frame) + TailBits; }

int BusTimeModel::StuffBitsWorstCase(const CanMsg& frame) { return (StuffedBits(frame) - 1) / 4; }

std::chrono::nanoseconds BusTimeModel::BitsTime(int bits) const
{
    return std::chrono::nanoseconds(static_cast<int64_t>(bits) * 1000000000LL / m_bitRate);
}

BusTimeModel::Clock::time_point BusTimeModel::Transmit(Clock::time_point ready, const CanMsg& frame)
{
    const Clock::time_point start = std::max(ready, m_busyUntil);
    m_busyUntil = start + std::chrono::duration_cast<Clock::duration>(FrameTime(frame));
    return m_busyUntil;
}
