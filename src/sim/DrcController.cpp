#include "sim/DrcController.h"

#include <QTimer>

#include <algorithm>

DrcController::DrcController(uint32_t seed, QObject* parent)
    : QObject(parent), m_catalogue(std::make_unique<IDData>()), m_e2(MemoryWords, 0), m_ram(MemoryWords, 0),
      m_seed(seed)
{
    m_live.Bind(m_catalogue.get());
    PowerCycle();
}

DrcController::~DrcController() = default;

std::string DrcController::LoadCatalogue(const QString& path)
{
    std::string result = m_catalogue->LoadCatalogue(path);
    if (!result.empty() && !m_catalogue->LastLoadDetail().empty())
        result += " (" + m_catalogue->LastLoadDetail() + ")";
    std::fill(m_e2.begin(), m_e2.end(), 0);
    if (result.empty())
        SeedE2();
    PowerCycle();
    return result;
}

int DrcController::AddressOf(Key k) const
{
    const CVarData* r = m_catalogue->Record(k);
    if (!r || r->DataS.Address < 0 || r->DataS.Address >= static_cast<int>(MemoryWords))
        return -1;
    return r->DataS.Address;
}

void DrcController::SeedE2()
{
    for (int i = 1; i < m_catalogue->VarTableEnd; ++i) {
        const CVarData* r = m_catalogue->At(i);
        if (!r || r->DataS.Address < 0 || r->DataS.Address >= static_cast<int>(MemoryWords))
            continue;
        // A word holds 16 bits: negative defaults are stored two's complement.
        m_e2[static_cast<size_t>(r->DataS.Address)] = static_cast<uint16_t>(r->DataS.CedValueDefault & 0xFFFF);
    }
}

void DrcController::InitialiseRam()
{
    // At start-up the controller copies its configuration from E2 into its
    // working RAM; live variables and the version word overwrite their words.
    std::fill(m_ram.begin(), m_ram.end(), 0);
    for (int i = 1; i < m_catalogue->VarTableEnd; ++i) {
        const CVarData* r = m_catalogue->At(i);
        if (r && r->DataS.Address >= 0 && r->DataS.Address < static_cast<int>(MemoryWords))
            m_ram[static_cast<size_t>(r->DataS.Address)] = m_e2[static_cast<size_t>(r->DataS.Address)];
    }
    if (const int a = AddressOf(Key::QVS_PROG_VERS); a >= 0)
        m_ram[static_cast<size_t>(a)] = SoftwareVersion();
    m_live.Reset(m_seed);
    m_live.Publish(m_e2, m_ram);
}

bool DrcController::RestorePending() const
{
    for (size_t i = 0; i < RestoreSignature.size(); ++i)
        if (m_e2[RestoreSignatureAddress + i] != RestoreSignature[i])
            return false;
    return true;
}

void DrcController::PowerCycle()
{
    if (RestorePending()) {
        std::fill(m_e2.begin(), m_e2.end(), 0);
        SeedE2();
        for (size_t i = 0; i < RestoreSignature.size(); ++i)
            m_e2[RestoreSignatureAddress + i] = 0;
    }
    m_requests = 0;
    m_replies = 0;
    m_sent = 0;
    InitialiseRam();
    m_liveClockMs = m_liveClock.isValid() ? m_liveClock.elapsed() : 0;
}

uint16_t DrcController::SoftwareVersion() const
{
    if (m_softwareVersion)
        return *m_softwareVersion;
    if (const CVarData* r = m_catalogue->Record(Key::QVS_PROG_VERS); r && r->DataS.CedValueDefault != 0)
        return static_cast<uint16_t>(r->DataS.CedValueDefault & 0xFFFF);
    return DefaultSoftwareVersion;
}

void DrcController::SetSoftwareVersion(uint16_t v)
{
    m_softwareVersion = v;
    if (const int a = AddressOf(Key::QVS_PROG_VERS); a >= 0)
        m_ram[static_cast<size_t>(a)] = v;
}

void DrcController::SetCorruptEvery(int n, CorruptKind kind)
{
    m_faults.CorruptEvery = n;
    m_faults.CorruptAs = kind;
}

void DrcController::Tick(int ms) { m_live.Advance(ms, m_e2, m_ram); }

void DrcController::StartLiveTimer(int intervalMs)
{
    if (!m_liveTimer) {
        m_liveTimer = new QTimer(this);
        connect(m_liveTimer, &QTimer::timeout, this, [this] {
            // Advance by the real time elapsed, so a late timer does not slow
            // the simulated machine down.
            const int64_t now = m_liveClock.elapsed();
            Tick(static_cast<int>(std::min<int64_t>(now - m_liveClockMs, 1000)));
            m_liveClockMs = now;
        });
    }
    m_liveClock.start();
    m_liveClockMs = 0;
    m_liveTimer->start(std::max(intervalMs, 1));
}

void DrcController::StopLiveTimer()
{
    if (m_liveTimer)
        m_liveTimer->stop();
}

bool DrcController::LiveTimerActive() const { return m_liveTimer && m_liveTimer->isActive(); }

bool DrcController::RaiseError(Key word, int bit)
{
    if (AddressOf(word) < 0 || !m_live.RaiseError(word, bit))
        return false;
    m_live.Publish(m_e2, m_ram);
    return true;
}

bool DrcController::ClearError(Key word, int bit)
{
    if (AddressOf(word) < 0 || !m_live.ClearError(word, bit))
        return false;
    m_live.Publish(m_e2, m_ram);
    return true;
}

void DrcController::ClearAllErrors()
{
    m_live.ClearAllErrors();
    m_live.Publish(m_e2, m_ram);
}

void DrcController::OnFrame(const CanMsg& frame, SimulatedBus& bus)
{
    if (m_busStatus == CanBusOff)
        return;
    // Every frame on the wire occupies the bus, requests or not.
    const BusTimeModel::Clock::time_point requestEnd =
        m_busModel ? m_busModel->Transmit(BusTimeModel::Clock::now(), frame) : BusTimeModel::Clock::time_point{};
    // Only standard frames on the request identifier that carry a known
    // command and the bytes it needs are requests; everything else on the bus
    // is someone else's traffic.
    if (frame.MSGTYPE != 0 || frame.ID != RequestId)
        return;
    const uint8_t cmd = frame.DATA[0];
    if (cmd < CmdWriteE2 || cmd > CmdReadRAM)
        return;
    const bool write = cmd == CmdWriteE2 || cmd == CmdWriteRAM;
    if (frame.LEN < (write ? 6 : 4))
        return;

    ++m_requests;
    if (m_trace)
        m_trace(frame, Direction::Request);
    if (m_faults.SilentAfter >= 0 && m_requests > m_faults.SilentAfter)
        return;

    const uint16_t address = static_cast<uint16_t>(frame.DATA[2] << 8 | frame.DATA[3]);
    const uint16_t written = static_cast<uint16_t>(frame.DATA[4] << 8 | frame.DATA[5]);
    uint16_t value = 0;
    switch (cmd) {
    case CmdWriteE2: m_e2[address] = value = written; break;
    case CmdReadE2: value = m_e2[address]; break;
    case CmdWriteRAM: m_ram[address] = value = written; break;
    case CmdReadRAM: value = m_ram[address]; break;
    }

    CanMsg reply;
    reply.ID = ReplyId;
    reply.MSGTYPE = 0;
    reply.LEN = 8;
    reply.DATA = {static_cast<uint8_t>(cmd | ReplyFlag), 0x00, frame.DATA[2], frame.DATA[3],
                  static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF), 0xFF, 0xFF};

    ++m_replies;
    if (m_faults.DropEvery > 0 && m_replies % m_faults.DropEvery == 0)
        return;
    if (m_faults.CorruptEvery > 0 && m_replies % m_faults.CorruptEvery == 0) {
        if (m_faults.CorruptAs == CorruptKind::Command)
            reply.DATA[0] = static_cast<uint8_t>((cmd % CmdReadRAM + 1) | ReplyFlag); // another command's reply
        else
            reply.DATA[3] ^= 0x01; // a neighbouring address
    }
    ++m_sent;
    if (m_trace)
        m_trace(reply, Direction::Reply);
    const int latencyMs = std::max(m_faults.LatencyMs, 0);
    if (!m_busModel) {
        bus.Deliver(reply, latencyMs);
        return;
    }
    const auto replyEnd = m_busModel->Transmit(requestEnd + std::chrono::milliseconds(latencyMs), reply);
    bus.DeliverAfter(reply, replyEnd - BusTimeModel::Clock::now());
}
