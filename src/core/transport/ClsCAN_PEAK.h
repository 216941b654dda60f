#pragma once
// The CAN channel: the one object that talks to the adapter. It opens the
// channel at a bit-timing code, sends single frames, drains the adapter's
// receive queue into a table that keeps the latest frame per identifier,
// and keeps a small table of frames to send periodically.
//
// Frames cross this interface as frame arrays (AuxMsg):
//   0 frame kind (1 = 29-bit identifier, else 11-bit), 1 identifier,
//   2 length, 3..10 data bytes 0..7, 11 Enabled, 12 period in ms,
//   13 periodic-table index (11..13 for the periodic table only).
#include "core/transport/CanAdapter.h"
#include "core/transport/CanListModel.h"

#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

using AuxMsg = std::array<int32_t, 14>;

// A fault inside a channel or device-layer method: a timer that was never
// set, a channel that does not exist (any more), an index outside a table.
class CanObjectError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class modCANDevice;

class ClsCAN_PEAK {
public:
    static constexpr int RxSlotCount = 21;  // slot 20 is never written
    static constexpr int RxSlotsUsed = 20;
    static constexpr int TmrEntryCount = 11; // entry 0 is never sent
    // A drain takes at most this many frames, so a flooding bus cannot hold
    // the thread; the rest follow at the next drain.
    static constexpr int MaxFramesPerDrain = 4096;

    struct RxSlot {
        CanMsg Msg;
        bool New = false;
        int64_t ReceivedMs = 0; // monotonic clock
        uint64_t Sequence = 0;  // 1, 2, ... in order of reception; 0 = empty
    };

    struct TmrEntry {
        bool Enabled = false;
        int32_t Period = 0;   // ms
        int64_t LastSent = 0; // monotonic ms; 0 = not sent yet
        int16_t Index = 0;
        int32_t MsgType = 0;  // 1 = extended identifier
        int32_t ID = 0;
        uint8_t LEN = 0;
        std::array<uint8_t, 8> DATA{};
    };

    // The adapter may be null (no bus available): every call then fails.
    // The device layer, when given, is the path of the periodic sends.
    explicit ClsCAN_PEAK(std::unique_ptr<CanAdapter> adapter, modCANDevice* device = nullptr);
    ~ClsCAN_PEAK();
    ClsCAN_PEAK(const ClsCAN_PEAK&) = delete;
    ClsCAN_PEAK& operator=(const ClsCAN_PEAK&) = delete;

    // Periodic-transmit tick source; its ticks run SendTmrMsg.
    QTimer* TxTimer() const { return m_txTimer; }
    void SetTxTimer(QTimer* timer);
    // Receive-poll tick source; its ticks run WaitRx("").
    QTimer* RxTimer() const { return m_rxTimer; }
    void SetRxTimer(QTimer* timer);

    int32_t BaudRate = 0x011C; // bit-timing code used by Init
    // Bit 0: reception started; bit 1: last transmission accepted; 4 after a
    // refused transmission. Kept by the device layer.
    int32_t SStatus = 0;

    void EnableExtendedMode() {}
    void DisableExtendedMode() {}
    // A reset of the adapter only; it stays initialised.
    void CloseCan();
    // Opens at 125 kbit/s, resets and closes; true if the open worked.
    bool Test();
    // Closes, then opens at BaudRate; a failure also clears SStatus.
    bool Init();
    int32_t GetStatus();
    // Drains the adapter's receive queue into the receive table, appending a
    // trace line per frame to LogFile when it is not empty.
    bool WaitRx(const std::string& LogFile);
    bool SendOneMsg(const AuxMsg& msg);
    // Resets the adapter (its queues are emptied; the receive table stays),
    // clears the list when given, and starts RxTimer.
    void StartRx(CanListModel* ListCAN = nullptr);
    void StopRx(CanListModel* ListCAN = nullptr);
    // Empties the list when given, then the receive table.
    void CleadBufferDataRead(CanListModel* ListCAN);
    void ClearBufferRead();
    // The latest frame with that identifier (elements 1..10; element 0 is
    // 0); all zeros when there is none or, with TimeOutEnable, when it is
    // older than TimeOutMs.
    AuxMsg RxReadMsg(uint16_t MsgIdToSearch, uint16_t TimeOutMs, bool TimeOutEnable) const;
    AuxMsg RxReadMsg29(uint32_t MsgIdToSearch, uint16_t TimeOutMs, bool TimeOutEnable) const;
    // Shows the slots that received a frame since the last refresh.
    void CANListRefresh(CanListModel& ListCAN);
    void RemoveTmrMsg(int16_t index);
    AuxMsg ReadTmrMsg(int16_t index) const;
    void WriteTmrMsg(const AuxMsg& msg);
    // Sends every enabled entry 1..10 whose period has passed.
    void SendTmrMsg();

    // Reception order: the sequence number of the latest stored frame (0
    // before the first). A frame stored later has a larger number.
    uint64_t RxSequence() const { return m_rxSequence; }
    // The latest frame with identifier id if it was stored after the frame
    // numbered afterSequence; its own number goes to sequence.
    bool RxReadFresh(uint32_t id, uint64_t afterSequence, CanMsg& msg, uint64_t& sequence) const;
    const RxSlot& Slot(int index) const { return m_rx.at(static_cast<size_t>(index)); }
    bool IsInitialised() const { return m_initialised; }
    CanAdapter* Adapter() const { return m_adapter.get(); }
    // The monotonic millisecond clock of reception times and periods.
    void SetClock(std::function<int64_t()> clock);

    // One trace line: "HH:nn:ss.mmm" TAB id TAB length (TAB byte)...; hex in
    // upper case without leading zeros.
    static std::string TraceLine(const CanMsg& msg, int msecsSinceMidnight);

private:
    int AdapterResult(int (CanAdapter::*call)());
    void Store(const CanMsg& msg, const std::string& logFile);
    const RxSlot* Find(uint32_t id) const;
    TmrEntry& Entry(int16_t index);
    const TmrEntry& Entry(int16_t index) const;
    void RunRxTick();
    void RunTxTick();

    std::unique_ptr<CanAdapter> m_adapter;
    modCANDevice* m_device;
    bool m_initialised = false;
    std::array<RxSlot, RxSlotCount> m_rx{};
    std::array<TmrEntry, TmrEntryCount> m_tmr{};
    uint64_t m_rxSequence = 0;
    std::function<int64_t()> m_clock;
    QPointer<QTimer> m_rxTimer;
    QPointer<QTimer> m_txTimer;
    QMetaObject::Connection m_rxTick;
    QMetaObject::Connection m_txTick;
};
