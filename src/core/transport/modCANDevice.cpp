#include "core/transport/modCANDevice.h"

#include "core/transport/BitRates.h"

modCANDevice::modCANDevice(AdapterFactory factory, QTimer* rxTimer)
    : m_factory(std::move(factory)), m_rxTimer(rxTimer)
{
}

QTimer* modCANDevice::tmrRxCAN()
{
    if (m_rxTimer)
        return m_rxTimer;
    if (!m_ownRxTimer) {
        m_ownRxTimer = std::make_unique<QTimer>();
        m_ownRxTimer->setInterval(100);
    }
    return m_ownRxTimer.get();
}

modCANDevice::~modCANDevice()
{
    CloseCanDevice();
}

ClsCAN_PEAK& modCANDevice::Channel() const
{
    if (!CanChannel)
        throw CanObjectError("no CAN channel is open");
    return *CanChannel;
}

bool modCANDevice::OpenCanDevice(int16_t index)
{
    // The channel becomes CanChannel only once it is open: opening may
    // dispatch events (a back-end that connects over a socket), and a handler
    // run then must not find, or close, a channel that is half made.
    auto channel = std::make_unique<ClsCAN_PEAK>(m_factory ? m_factory() : nullptr, this);
    QTimer* poll = tmrRxCAN();
    poll->stop();
    channel->SetRxTimer(poll);
    channel->CloseCan();
    channel->BaudRate = DefaultBitTimingCode;
    channel->BaudRate = BitTimingCodeFromIndex(index);
    const bool ok = channel->Init();
    CanChannel = std::move(channel);
    ClearTmrMsgList();
    CanConnected = ok;
    return ok;
}

void modCANDevice::CloseCanDevice()
{
    if (CanChannel) {
        if (QTimer* t = CanChannel->RxTimer())
            t->stop();
        if (QTimer* t = CanChannel->TxTimer())
            t->stop();
        CanChannel->SetRxTimer(nullptr);
        CanChannel->SetTxTimer(nullptr);
        CanChannel->CloseCan();
    }
    CanChannel.reset();
}

void modCANDevice::StartCanRx()
{
    ClsCAN_PEAK& ch = Channel();
    ch.StartRx(nullptr);
    ch.SStatus |= 1;
}

void modCANDevice::StopCanRx()
{
    ClsCAN_PEAK& ch = Channel();
    ch.StopRx(nullptr);
    ch.SStatus &= ~1;
}

void modCANDevice::EnableCanTx(bool Enable)
{
    ClsCAN_PEAK& ch = Channel();
    QTimer* timer = ch.TxTimer();
    if (!timer)
        throw CanObjectError("the channel has no transmit timer");
    if (Enable) {
        timer->start();
    } else {
        timer->stop();
        ch.SStatus &= ~2;
    }
}

bool modCANDevice::SendCanMsg(const CanFrame& frame)
{
    ClsCAN_PEAK& ch = Channel();
    AuxMsg a{};
    a[0] = frame.MsgType;
    a[1] = frame.ID;
    a[2] = frame.LEN;
    for (size_t i = 0; i < 8; ++i)
        a[3 + i] = frame.DATA[i];
    a[11] = frame.Enabled ? 1 : 0;
    const bool ok = ch.SendOneMsg(a);
    if (ok)
        ch.SStatus |= 2;
    else
        ch.SStatus = 4;
    return ok;
}

bool modCANDevice::GetCanMsg(uint16_t MsgId, CanFrame& frame, uint16_t TimeOutMs, bool TimeOutEnable)
{
    const AuxMsg a = Channel().RxReadMsg(MsgId, TimeOutMs, TimeOutEnable);
    frame.ID = a[1];
    for (size_t i = 0; i < 8; ++i)
        frame.DATA[i] = static_cast<uint8_t>(a[3 + i]);
    return frame.ID == MsgId;
}

int16_t modCANDevice::BitRateIndexFromText(std::string_view text)
{
    return ::BitRateIndexFromText(text);
}

void modCANDevice::ClearTmrMsgList()
{
    ClsCAN_PEAK& ch = Channel();
    for (int16_t i = 0; i < ClsCAN_PEAK::TmrEntryCount; ++i)
        ch.RemoveTmrMsg(i);
}

void modCANDevice::PollCanRx()
{
    Channel().WaitRx(std::string());
}

uint64_t modCANDevice::CanRxSequence() const
{
    return Channel().RxSequence();
}

bool modCANDevice::GetFreshCanMsg(uint16_t MsgId, uint64_t afterSequence, CanFrame& frame,
                                  uint64_t& sequence) const
{
    CanMsg msg;
    if (!Channel().RxReadFresh(MsgId, afterSequence, msg, sequence))
        return false;
    frame.MsgType = (msg.MSGTYPE & 2) ? 1 : 0;
    frame.ID = static_cast<int32_t>(msg.ID);
    frame.LEN = msg.LEN;
    frame.DATA = msg.DATA;
    return true;
}
