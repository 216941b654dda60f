#pragma once
// A simulated DRC controller on the CAN bus: E2 and RAM word memories seeded
// from the parameter catalogue, the request/reply protocol on identifiers
// 220/221, the restore-default signature applied at a power cycle, the
// software version word, live RAM values and fault injection.
//
// It answers whatever carries frames to it: the in-process simulated adapter
// (SimulatedBus) or a real CAN bus device (CanBusServer, drc-sim).
#include "core/link/IDData.h"
#include "core/transport/SimulatedBus.h"
#include "sim/BusTimeModel.h"
#include "sim/DrcFaults.h"
#include "sim/DrcLiveModel.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QTimer;

class DrcController : public QObject, public SimulatedPeer {
    Q_OBJECT
public:
    static constexpr uint32_t RequestId = 220;
    static constexpr uint32_t ReplyId = 221;
    static constexpr uint8_t CmdWriteE2 = 0x01;
    static constexpr uint8_t CmdReadE2 = 0x02;
    static constexpr uint8_t CmdWriteRAM = 0x03;
    static constexpr uint8_t CmdReadRAM = 0x04;
    static constexpr uint8_t ReplyFlag = 0x80;
    static constexpr size_t MemoryWords = 65536;
    static constexpr int RestoreSignatureAddress = 250;
    static constexpr std::array<uint16_t, 5> RestoreSignature{82, 69, 83, 69, 84}; // "RESET"
    static constexpr uint16_t DefaultSoftwareVersion = 0x0100; // shown as v001.00
    static constexpr int DefaultTickMs = 20;

    explicit DrcController(uint32_t seed = 1, QObject* parent = nullptr);
    ~DrcController() override;

    // Loads the catalogue (the same Ramlist.ini the tool reads) and powers the
    // controller up with factory defaults in E2. Returns "" or the catalogue
    // failure text followed by the reason; on failure the memories are empty.
    std::string LoadCatalogue(const QString& path);
    const IDData& Catalogue() const { return *m_catalogue; }
    // The word address of a key, -1 when the catalogue does not bind it.
    int AddressOf(Key k) const;

    // SimulatedPeer
    void OnFrame(const CanMsg& frame, SimulatedBus& bus) override;
    bool AdapterPresent() const override { return m_adapterPresent; }
    // The controller is powered independently of the tool: opening the bus
    // does not power-cycle it, so a restore stays pending until PowerCycle.
    void OnBusOpened() override {}
    // CanOk, or the error state the controller has driven the bus into.
    int BusStatus() const override { return m_busStatus; }

    // Memories, for tests and the operator console.
    uint16_t E2(int address) const { return m_e2[static_cast<uint16_t>(address)]; }
    void SetE2(int address, uint16_t value) { m_e2[static_cast<uint16_t>(address)] = value; }
    uint16_t Ram(int address) const { return m_ram[static_cast<uint16_t>(address)]; }
    void SetRam(int address, uint16_t value) { m_ram[static_cast<uint16_t>(address)] = value; }

    // Switch off and on: a pending restore signature resets E2 to the
    // catalogue defaults and clears the signature; RAM restarts from E2 with
    // the software version and fresh live values; the request counters of
    // the faults start again.
    void PowerCycle();
    bool RestorePending() const;

    // The version word in RAM at QVS_PROG_VERS: the one set here, else the
    // catalogue default of that entry when it is not 0, else the built-in one.
    uint16_t SoftwareVersion() const;
    void SetSoftwareVersion(uint16_t v);

    // Advances the live values by ms of simulated time.
    void Tick(int ms);
    // Interactive use: a timer advances the live values in real time.
    void StartLiveTimer(int intervalMs = DefaultTickMs);
    void StopLiveTimer();
    bool LiveTimerActive() const;
    int64_t UptimeMs() const { return m_live.UptimeMs(); }

    // Fault injection.
    const DrcFaults& Faults() const { return m_faults; }
    void SetFaults(const DrcFaults& f) { m_faults = f; }
    void SetLatencyMs(int ms) { m_faults.LatencyMs = ms; }
    void SetDropEvery(int n) { m_faults.DropEvery = n; }
    void SetCorruptEvery(int n, CorruptKind kind = CorruptKind::Command);
    void SetSilentAfter(int n) { m_faults.SilentAfter = n; }
    void SetAdapterPresent(bool present) { m_adapterPresent = present; }
    // Bus off: nothing the tool sends gets through and nothing is answered.
    // CanBusPassive / CanBusWarning only change the status the adapter reports.
    void SetBusStatus(int status) { m_busStatus = status; }

    // Bus timing: with a model every reply arrives no sooner than the bus
    // lets the request and the reply through (after the latency fault);
    // without one (the default) replies are immediate.
    void SetBusModel(std::optional<BusTimeModel> model) { m_busModel = std::move(model); }
    const std::optional<BusTimeModel>& BusModel() const { return m_busModel; }

    // Error words (QVS_MAIN_ERROR, QVS_ERROR_CODE_0..3): false for another key,
    // a word the catalogue does not bind, or a bit outside 0..15. The words change at once, not at the next tick.
    bool RaiseError(Key word, int bit);
    bool ClearError(Key word, int bit);
    void ClearAllErrors();
    void SetDemoErrors(bool on) { m_live.SetDemoErrors(on); }

    // Seed of the noise; takes effect at the next power cycle.
    void SetSeed(uint32_t seed) { m_seed = seed; }

    // Requests accepted since power-up (well-formed, identifier 220) and
    // replies put on the bus (dropped ones not counted).
    int RequestCount() const { return m_requests; }
    int ReplyCount() const { return m_sent; }

    // Called for every request taken and every reply sent (drc-sim --trace).
    enum class Direction { Request, Reply };
    void SetTrace(std::function<void(const CanMsg&, Direction)> trace) { m_trace = std::move(trace); }

private:
    void SeedE2();
    void InitialiseRam();

    std::unique_ptr<IDData> m_catalogue;
    WordMemory m_e2;
    WordMemory m_ram;
    DrcLiveModel m_live;
    DrcFaults m_faults;
    std::optional<BusTimeModel> m_busModel;
    bool m_adapterPresent = true;
    int m_busStatus = CanOk;
    std::optional<uint16_t> m_softwareVersion;
    uint32_t m_seed;
    int m_requests = 0;
    int m_replies = 0; // replies produced, including dropped ones
    int m_sent = 0;
    QTimer* m_liveTimer = nullptr;
    QElapsedTimer m_liveClock;
    int64_t m_liveClockMs = 0;
    std::function<void(const CanMsg&, Direction)> m_trace;
};
