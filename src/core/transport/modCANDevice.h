#pragma once
// The device layer between the link protocol and the channel: it holds the
// one channel of the running program, the connection flag every controller
// request checks, the chosen adapter port and bit rate, and the small
// operations open, close, start and stop reception, send one frame and fetch
// the latest frame with a given identifier.
#include "core/transport/CanAdapter.h"
#include "core/transport/ClsCAN_PEAK.h"

#include <QPointer>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

struct CanFrame {
    int32_t MsgType = 0; // 1 = 29-bit identifier, else 11-bit
    int32_t ID = 0;
    uint8_t LEN = 0;
    std::array<uint8_t, 8> DATA{};
    bool Enabled = false; // periodic table only
};

class modCANDevice {
public:
    // Creates the adapter of the chosen bus for each new channel; an empty
    // factory, or one that returns null, gives a channel that cannot open.
    using AdapterFactory = std::function<std::unique_ptr<CanAdapter>()>;

    // rxTimer is the 100 ms receive poll (not owned); without one the layer
    // uses a timer of its own.
    explicit modCANDevice(AdapterFactory factory = {}, QTimer* rxTimer = nullptr);
    ~modCANDevice();
    modCANDevice(const modCANDevice&) = delete;
    modCANDevice& operator=(const modCANDevice&) = delete;

    // Takes effect at the next OpenCanDevice.
    void SetAdapterFactory(AdapterFactory factory) { m_factory = std::move(factory); }
    // The receive poll (the given timer, or the layer's own).
    QTimer* tmrRxCAN();

    std::unique_ptr<ClsCAN_PEAK> CanChannel; // none while disconnected
    bool CanConnected = false;  // result of the last OpenCanDevice
    int16_t UsbPortIndex = 1;   // 0 = none, 1..4 = the adapter menu entries
    int16_t BitRateIndex = 3;   // index into BitRateTable

    // A new channel at the code of the index (any index outside the table:
    // 250 kbit/s); sets CanConnected to the result.
    bool OpenCanDevice(int16_t index);
    // Releases the channel; CanConnected keeps its value.
    void CloseCanDevice();
    // The operations below need a channel and raise CanObjectError without.
    void StartCanRx(); // adapter queues emptied, receive poll on, SStatus bit 0
    void StopCanRx();  // receive poll off, SStatus bit 0 cleared
    void EnableCanTx(bool Enable); // needs a TxTimer; disabling clears SStatus bit 1
    // On success SStatus bit 1 is set; on failure SStatus becomes 4.
    bool SendCanMsg(const CanFrame& frame);
    // frame.ID and frame.DATA from the latest frame with that identifier (ID
    // 0 when there is none); true when one was found.
    bool GetCanMsg(uint16_t MsgId, CanFrame& frame, uint16_t TimeOutMs, bool TimeOutEnable);
    static int16_t BitRateIndexFromText(std::string_view text);
    void ClearTmrMsgList();

    // For the link's wait: drain the adapter now, the reception counter, and
    // the latest frame with an identifier if it arrived after a given point.
    void PollCanRx();
    uint64_t CanRxSequence() const;
    bool GetFreshCanMsg(uint16_t MsgId, uint64_t afterSequence, CanFrame& frame,
                        uint64_t& sequence) const;

private:
    ClsCAN_PEAK& Channel() const;

    AdapterFactory m_factory;
    QPointer<QTimer> m_rxTimer; // not owned; may go away before the layer
    std::unique_ptr<QTimer> m_ownRxTimer;
};
