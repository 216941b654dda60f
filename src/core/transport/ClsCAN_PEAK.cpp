#include "core/transport/ClsCAN_PEAK.h"

#include "core/transport/modCANDevice.h"

#include <QFile>
#include <QTime>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

int64_t SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string Hex(uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", v);
    return buf;
}

AuxMsg FrameArray(const CanMsg& msg)
{
    AuxMsg a{};
    a[1] = static_cast<int32_t>(msg.ID);
    a[2] = msg.LEN;
    for (size_t i = 0; i < 8; ++i)
        a[3 + i] = msg.DATA[i];
    return a;
}

} // namespace

ClsCAN_PEAK::ClsCAN_PEAK(std::unique_ptr<CanAdapter> adapter, modCANDevice* device)
    : m_adapter(std::move(adapter)), m_device(device), m_clock(SteadyMs)
{
}

ClsCAN_PEAK::~ClsCAN_PEAK()
{
    QObject::disconnect(m_rxTick);
    QObject::disconnect(m_txTick);
}

void ClsCAN_PEAK::SetClock(std::function<int64_t()> clock)
{
    m_clock = clock ? std::move(clock) : std::function<int64_t()>(SteadyMs);
}

void ClsCAN_PEAK::SetRxTimer(QTimer* timer)
{
    QObject::disconnect(m_rxTick);
    m_rxTimer = timer;
    if (timer)
        m_rxTick = QObject::connect(timer, &QTimer::timeout, [this] { RunRxTick(); });
}

void ClsCAN_PEAK::SetTxTimer(QTimer* timer)
{
    QObject::disconnect(m_txTick);
    m_txTimer = timer;
    if (timer)
        m_txTick = QObject::connect(timer, &QTimer::timeout, [this] { RunTxTick(); });
}

// Timer ticks are event handlers: nothing may escape them.
void ClsCAN_PEAK::RunRxTick()
{
    try {
        WaitRx(std::string());
    } catch (const std::exception&) {
    }
}

void ClsCAN_PEAK::RunTxTick()
{
    try {
        SendTmrMsg();
    } catch (const std::exception&) {
    }
}

int ClsCAN_PEAK::AdapterResult(int (CanAdapter::*call)())
{
    if (!m_adapter)
        return CanHardwareError;
    return (m_adapter.get()->*call)();
}

void ClsCAN_PEAK::CloseCan()
{
    AdapterResult(&CanAdapter::Reset);
}

bool ClsCAN_PEAK::Test()
{
    const int r = m_adapter ? m_adapter->Initialize(0x031C) : CanHardwareError;
    AdapterResult(&CanAdapter::Reset);
    AdapterResult(&CanAdapter::Uninitialize);
    return r == CanOk;
}

bool ClsCAN_PEAK::Init()
{
    AdapterResult(&CanAdapter::Uninitialize);
    const int r = m_adapter ? m_adapter->Initialize(BaudRate & 0xFFFF) : CanHardwareError;
    m_initialised = r == CanOk;
    if (!m_initialised)
        SStatus = 0;
    return m_initialised;
}

int32_t ClsCAN_PEAK::GetStatus()
{
    return AdapterResult(&CanAdapter::GetStatus);
}

bool ClsCAN_PEAK::WaitRx(const std::string& LogFile)
{
    if (!m_adapter)
        return true;
    CanMsg msg;
    for (int n = 0; n < MaxFramesPerDrain && m_adapter->Read(msg) == CanOk; ++n)
        Store(msg, LogFile);
    return true;
}

std::string ClsCAN_PEAK::TraceLine(const CanMsg& msg, int msecsSinceMidnight)
{
    const int ms = ((msecsSinceMidnight % 86400000) + 86400000) % 86400000;
    char time[32];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d.%03d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    std::string line = time;
    line += '\t' + Hex(msg.ID) + '\t' + std::to_string(msg.LEN);
    for (size_t i = 0; i < msg.LEN && i < 8; ++i)
        line += '\t' + Hex(msg.DATA[i]);
    return line;
}

void ClsCAN_PEAK::Store(const CanMsg& msg, const std::string& logFile)
{
    if (!logFile.empty()) {
        // A trace file that cannot be written loses the trace, not the frame.
        QFile file(QString::fromStdString(logFile));
        if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            const std::string line =
                TraceLine(msg, QTime::currentTime().msecsSinceStartOfDay()) + "\r\n";
            file.write(line.data(), static_cast<qint64>(line.size()));
        }
    }
    size_t slot = 0; // no slot free: the frame replaces slot 0
    bool found = false;
    for (size_t i = 0; i < RxSlotsUsed && !found; ++i)
        if (m_rx[i].Msg.ID == msg.ID) {
            slot = i;
            found = true;
        }
    for (size_t i = 0; i < RxSlotsUsed && !found; ++i)
        if (m_rx[i].Msg.ID == 0) {
            slot = i;
            found = true;
        }
    RxSlot& s = m_rx[slot];
    s.Msg = msg;
    s.New = true;
    s.ReceivedMs = m_clock();
    s.Sequence = ++m_rxSequence;
}

bool ClsCAN_PEAK::SendOneMsg(const AuxMsg& msg)
{
    CanMsg frame;
    frame.ID = static_cast<uint32_t>(msg[1]);
    frame.LEN = static_cast<uint8_t>(msg[2]);
    for (size_t i = 0; i < 8; ++i)
        frame.DATA[i] = static_cast<uint8_t>(msg[3 + i]);
    frame.MSGTYPE = msg[0] == 1 ? 2 : 0;
    return m_adapter && m_adapter->Write(frame) == CanOk;
}

void ClsCAN_PEAK::StartRx(CanListModel* ListCAN)
{
    AdapterResult(&CanAdapter::Reset);
    if (ListCAN)
        CleadBufferDataRead(ListCAN);
    if (!m_rxTimer)
        throw CanObjectError("the channel has no receive timer");
    m_rxTimer->start();
}

void ClsCAN_PEAK::StopRx(CanListModel* ListCAN)
{
    if (ListCAN)
        CleadBufferDataRead(ListCAN);
    if (!m_rxTimer)
        throw CanObjectError("the channel has no receive timer");
    m_rxTimer->stop();
}

void ClsCAN_PEAK::CleadBufferDataRead(CanListModel* ListCAN)
{
    if (ListCAN)
        ListCAN->ListItems.clear();
    ClearBufferRead();
}

void ClsCAN_PEAK::ClearBufferRead()
{
    for (size_t i = 0; i < RxSlotsUsed; ++i)
        m_rx[i] = RxSlot{};
}

const ClsCAN_PEAK::RxSlot* ClsCAN_PEAK::Find(uint32_t id) const
{
    for (size_t i = 0; i < RxSlotsUsed; ++i)
        if (m_rx[i].Msg.ID == id)
            return &m_rx[i];
    return nullptr;
}

AuxMsg ClsCAN_PEAK::RxReadMsg29(uint32_t MsgIdToSearch, uint16_t TimeOutMs, bool TimeOutEnable) const
{
    const RxSlot* s = Find(MsgIdToSearch);
    if (!s)
        return AuxMsg{};
    if (TimeOutEnable && m_clock() - s->ReceivedMs > TimeOutMs)
        return AuxMsg{};
    return FrameArray(s->Msg);
}

AuxMsg ClsCAN_PEAK::RxReadMsg(uint16_t MsgIdToSearch, uint16_t TimeOutMs, bool TimeOutEnable) const
{
    return RxReadMsg29(MsgIdToSearch, TimeOutMs, TimeOutEnable);
}

bool ClsCAN_PEAK::RxReadFresh(uint32_t id, uint64_t afterSequence, CanMsg& msg,
                              uint64_t& sequence) const
{
    const RxSlot* s = Find(id);
    if (!s || s->Sequence <= afterSequence)
        return false;
    msg = s->Msg;
    sequence = s->Sequence;
    return true;
}

void ClsCAN_PEAK::CANListRefresh(CanListModel& ListCAN)
{
    for (size_t k = 0; k < RxSlotCount; ++k) {
        RxSlot& s = m_rx[k];
        if (!s.New)
            continue;
        if (s.Msg.ID == 0)
            break;
        s.New = false;
        std::array<std::string, 10> texts;
        texts[0] = Hex(s.Msg.ID);
        texts[1] = Hex(s.Msg.LEN);
        for (size_t i = 0; i < 8; ++i)
            texts[2 + i] = Hex(s.Msg.DATA[i]);
        if (k < ListCAN.ListItems.size()) {
            CanListItem& item = ListCAN.ListItems[k];
            int count = 0;
            try {
                count = std::stoi(item.Text);
            } catch (const std::exception&) {
                count = 0;
            }
            item.Text = count > 998 ? "0" : std::to_string(count + 1);
            for (size_t i = 0; i < texts.size(); ++i)
                if (item.SubItems[i] != texts[i])
                    item.SubItems[i] = texts[i];
        } else {
            // A list shorter than the slot number (earlier slots never
            // flagged) gets the item at its end.
            CanListItem item;
            item.Text = "0";
            item.SubItems = texts;
            item.SubItems[1] = std::to_string(s.Msg.LEN);
            ListCAN.ListItems.push_back(std::move(item));
        }
    }
}

ClsCAN_PEAK::TmrEntry& ClsCAN_PEAK::Entry(int16_t index)
{
    if (index < 0 || index >= TmrEntryCount)
        throw CanObjectError("periodic-table index " + std::to_string(index) + " out of range");
    return m_tmr[static_cast<size_t>(index)];
}

const ClsCAN_PEAK::TmrEntry& ClsCAN_PEAK::Entry(int16_t index) const
{
    return const_cast<ClsCAN_PEAK*>(this)->Entry(index);
}

void ClsCAN_PEAK::RemoveTmrMsg(int16_t index)
{
    Entry(index) = TmrEntry{};
}

AuxMsg ClsCAN_PEAK::ReadTmrMsg(int16_t index) const
{
    const TmrEntry& e = Entry(index);
    AuxMsg a{};
    a[0] = e.MsgType;
    a[1] = e.ID;
    a[2] = e.LEN;
    for (size_t i = 0; i < 8; ++i)
        a[3 + i] = e.DATA[i];
    a[11] = e.Enabled ? 1 : 0;
    a[12] = e.Period;
    a[13] = e.Index;
    return a;
}

void ClsCAN_PEAK::WriteTmrMsg(const AuxMsg& msg)
{
    TmrEntry& e = Entry(static_cast<int16_t>(msg[13]));
    e.MsgType = msg[0];
    e.ID = msg[1];
    e.LEN = static_cast<uint8_t>(msg[2]);
    for (size_t i = 0; i < 8; ++i)
        e.DATA[i] = static_cast<uint8_t>(msg[3 + i]);
    e.Enabled = msg[11] != 0;
    e.Period = msg[12];
    e.Index = static_cast<int16_t>(msg[13]);
    e.LastSent = 0;
}

void ClsCAN_PEAK::SendTmrMsg()
{
    for (size_t i = 1; i < TmrEntryCount; ++i) {
        TmrEntry& e = m_tmr[i];
        const int64_t now = m_clock();
        if (!e.Enabled || (e.LastSent != 0 && now - e.LastSent < e.Period))
            continue;
        bool sent;
        if (m_device) {
            CanFrame frame;
            frame.MsgType = e.MsgType;
            frame.ID = e.ID;
            frame.LEN = e.LEN;
            frame.DATA = e.DATA;
            frame.Enabled = e.Enabled;
            sent = m_device->SendCanMsg(frame);
        } else {
            sent = SendOneMsg(ReadTmrMsg(static_cast<int16_t>(i)));
        }
        if (sent) {
            e.LastSent = now;
        } else if (m_device) {
            m_device->EnableCanTx(false);
        } else {
            if (m_txTimer)
                m_txTimer->stop();
            SStatus &= ~2;
        }
    }
}
