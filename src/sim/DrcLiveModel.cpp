#include "sim/DrcLiveModel.h"

#include "core/link/IDData.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <exception>
#include <numbers>
#include <string>

namespace {

constexpr double Pi = std::numbers::pi;

// 0 -> 1 -> 0 over one period; starts at 0.5 going up (a joystick at rest
// that is then pushed).
double Triangle(double timeMs, double periodMs)
{
    double x = timeMs / periodMs + 0.25;
    x -= std::floor(x);
    return x < 0.5 ? 2 * x : 2 - 2 * x;
}

bool InWindow(int64_t timeMs, int64_t periodMs, int64_t fromMs, int64_t toMs)
{
    const int64_t phase = timeMs % periodMs;
    return phase >= fromMs && phase < toMs;
}

// A unit text compared loosely: no blanks, lower case ("V", " v " -> "v").
std::string UnitKey(std::string s)
{
    s.erase(std::remove_if(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c); }), s.end());
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

struct SectionKeys {
    // Joystick input driving the section and its configuration.
    Key Joystick, ThMin, ThMax, Neutral, DeadBand, Inversion;
    // Outputs of the section, side A then side B.
    Key RatioA, RatioB, RampA, RampB, SetpointA, SetpointB, Duty, Measure;
    // Coil settings, side A then side B.
    Key MinA, MaxA, MinB, MaxB, RiseA, FallA, RiseB, FallB;
};

constexpr std::array<SectionKeys, 2> Sections{{
    {Key::QVS_JOY0_VALUE, Key::QVS_JOY0_TH_MIN, Key::QVS_JOY0_TH_MAX, Key::QVS_JOY0_NEUTRAL, Key::QVS_JOY0_DB,
     Key::QVS_JOY_0_INV, Key::QVS_JOY0_RAT_A, Key::QVS_JOY0_RAT_B, Key::QVS_JOY1_RAMPE_A, Key::QVS_JOY1_RAMPE_B,
     Key::QVS_SETPOINT_1A, Key::QVS_SETPOINT_1B, Key::QVS_DUTY_1, Key::QVS_I0_MEASURE_400, Key::QVS_I0_MIN,
     Key::QVS_I0_MAX, Key::QVS_I1_MIN, Key::QVS_I1_MAX, Key::QVS_RAMP_TRISE_0, Key::QVS_RAMP_TFALL_0,
     Key::QVS_RAMP_TRISE_1, Key::QVS_RAMP_TFALL_1},
    {Key::QVS_JOY1_VALUE, Key::QVS_JOY1_TH_MIN, Key::QVS_JOY1_TH_MAX, Key::QVS_JOY1_NEUTRAL, Key::QVS_JOY1_DB,
     Key::QVS_JOY_1_INV, Key::QVS_JOY1_RAT_A, Key::QVS_JOY1_RAT_B, Key::QVS_JOY2_RAMPE_A, Key::QVS_JOY2_RAMPE_B,
     Key::QVS_SETPOINT_2A, Key::QVS_SETPOINT_2B, Key::QVS_DUTY_2, Key::QVS_I1_MEASURE_400, Key::QVS_I2_MIN,
     Key::QVS_I2_MAX, Key::QVS_I3_MIN, Key::QVS_I3_MAX, Key::QVS_RAMP_TRISE_2, Key::QVS_RAMP_TFALL_2,
     Key::QVS_RAMP_TRISE_3, Key::QVS_RAMP_TFALL_3},
}};

// Input inversion code: the joystick's A side drives the B coil.
constexpr int InvertedCode = 170;

// Currents used when the catalogue has no limit for a coil.
constexpr double FallbackMinMilliamps = 300;
constexpr double FallbackMaxMilliamps = 1200;

} // namespace

void DrcLiveModel::Bind(const IDData* catalogue) { m_catalogue = catalogue; }

void DrcLiveModel::Reset(uint32_t seed)
{
    m_uptimeMs = 0;
    m_ramp = {};
    m_current = {};
    m_rng.seed(seed);
}

const CVarData* DrcLiveModel::RecordOf(Key k) const
{
    return m_catalogue ? m_catalogue->Record(k) : nullptr;
}

double DrcLiveModel::E2Display(Key k, const WordMemory& e2, double fallback) const
{
    const CVarData* r = RecordOf(k);
    if (!r || r->DataS.Address < 0 || r->DataS.Address > 0xFFFF)
        return fallback;
    const int32_t raw = e2[static_cast<size_t>(r->DataS.Address)];
    try {
        return r->E2DisplayOf(raw);
    } catch (const std::exception&) {
        return raw;
    }
}

uint16_t DrcLiveModel::RawForDisplay(const CVarData& record, double display)
{
    double raw = display;
    if (!record.DataS.F_DownloadToDisplay.empty()) {
        try {
            constexpr int32_t Span = 1000;
            const double y0 = record.RAMDisplayOf(0);
            const double y1 = record.RAMDisplayOf(Span);
            const double slope = (y1 - y0) / Span;
            raw = std::abs(slope) > 1e-12 ? (display - y0) / slope : 0;
        } catch (const std::exception&) {
            raw = display; // a formula the tool cannot evaluate either: show raw
        }
    }
    if (!std::isfinite(raw))
        raw = 0;
    double lo = 0, hi = 0xFFFF;
    const CVarDataS& d = record.DataS;
    if (d.CedValE2Min < d.CedValE2Max && d.CedValE2Max < 0xFFFF) {
        lo = std::max(lo, static_cast<double>(d.CedValE2Min));
        hi = std::min(hi, static_cast<double>(d.CedValE2Max));
    }
    return static_cast<uint16_t>(std::lround(std::clamp(raw, lo, hi)));
}

void DrcLiveModel::PutRaw(Key k, uint16_t raw, WordMemory& ram) const
{
    const CVarData* r = RecordOf(k);
    if (!r || r->DataS.Address < 0 || r->DataS.Address > 0xFFFF)
        return;
    ram[static_cast<size_t>(r->DataS.Address)] = raw;
}

void DrcLiveModel::Put(Key k, double display, WordMemory& ram) const
{
    if (const CVarData* r = RecordOf(k))
        PutRaw(k, RawForDisplay(*r, display), ram);
}

double DrcLiveModel::E2Raw(Key k, const WordMemory& e2, double fallback) const
{
    const CVarData* r = RecordOf(k);
    if (!r || r->DataS.Address < 0 || r->DataS.Address > 0xFFFF)
        return fallback;
    return e2[static_cast<size_t>(r->DataS.Address)];
}

DrcLiveModel::Travel DrcLiveModel::JoystickTravel(Key value, Key thMin, Key thMax, Key neutral, Key band,
                                                  const WordMemory& e2) const
{
    Travel t;
    const CVarData* r = RecordOf(value);
    if (r && r->DataS.CedValE2Min >= 0 && r->DataS.CedValE2Min < r->DataS.CedValE2Max &&
        r->DataS.CedValE2Max < 0xFFFF) {
        // The catalogue gives the raw travel of the input; the configured
        // thresholds, neutral and dead band are in the same raw scale.
        t.Raw = true;
        t.Low = E2Raw(thMin, e2, r->DataS.CedValE2Min);
        t.High = E2Raw(thMax, e2, r->DataS.CedValE2Max);
        if (t.Low >= t.High) {
            t.Low = r->DataS.CedValE2Min;
            t.High = r->DataS.CedValE2Max;
        }
    }
    const double mid = (t.Low + t.High) / 2;
    t.Neutral = t.Raw ? E2Raw(neutral, e2, mid) : mid;
    if (t.Neutral <= t.Low || t.Neutral >= t.High)
        t.Neutral = mid;
    const double room = std::min(t.Neutral - t.Low, t.High - t.Neutral);
    t.Band = std::clamp(t.Raw ? E2Raw(band, e2, 0.05 * (t.High - t.Low)) : 0.05 * (t.High - t.Low), 0.0,
                        0.9 * room);
    return t;
}

double DrcLiveModel::Noise(double sigma)
{
    std::normal_distribution<double> n(0.0, sigma);
    return n(m_rng);
}

void DrcLiveModel::Advance(int dtMs, const WordMemory& e2, WordMemory& ram)
{
    dtMs = std::max(dtMs, 0);
    m_uptimeMs += dtMs;
    const double t = static_cast<double>(m_uptimeMs);

    // The monitor page converts with the formula variant of the section
    // count; the words are produced with the same variant.
    const int sections = static_cast<int>(std::lround(E2Display(Key::QVS_NUM_PROP_REG, e2, 2)));
    if (m_catalogue) {
        for (int i = 1; i < m_catalogue->VarTableEnd; ++i)
            if (CVarData* r = m_catalogue->At(i))
                r->DataS.CurrentDRCSystem = static_cast<int16_t>(std::clamp(sections, 0, 4));
    }

    // Supply: the catalogue default is the nominal voltage of the machine.
    double supplyVolts = NominalSupplyVolts;
    if (const CVarData* vbb = RecordOf(Key::QVS_VBB_400)) {
        const bool volts = UnitKey(vbb->DataS.Unit) == "v";
        double nominal = volts ? NominalSupplyVolts : NominalSupplyVolts * 1000;
        if (vbb->DataS.CedValueDefault > 0) {
            try {
                nominal = vbb->RAMDisplayOf(vbb->DataS.CedValueDefault);
            } catch (const std::exception&) {
            }
        }
        const double display = nominal * (1 + 0.006 * std::sin(2 * Pi * t / 7000)) + Noise(0.002 * nominal);
        Put(Key::QVS_VBB_400, display, ram);
        supplyVolts = std::max(1.0, volts ? display : display / 1000);
    }

    uint16_t outputs = 0;
    const double lag = 1 - std::exp(-dtMs / CurrentLagMs);
    for (size_t s = 0; s < Sections.size(); ++s) {
        const SectionKeys& k = Sections[s];
        const Travel travel = JoystickTravel(k.Joystick, k.ThMin, k.ThMax, k.Neutral, k.DeadBand, e2);
        const double p = travel.Low + Triangle(t, JoystickPeriodMs[s]) * (travel.High - travel.Low);
        if (travel.Raw)
            PutRaw(k.Joystick, static_cast<uint16_t>(std::lround(p)), ram);
        else
            Put(k.Joystick, p, ram);

        // Command of each side, 0..1 beyond the dead band; none for a section
        // the controller does not have.
        const bool present = static_cast<int>(s) < sections;
        const double upper = travel.Neutral + travel.Band, lower = travel.Neutral - travel.Band;
        std::array<double, 2> command{};
        if (present) {
            command[0] = p > upper ? std::min(1.0, (p - upper) / (travel.High - upper)) : 0.0;
            command[1] = p < lower ? std::min(1.0, (lower - p) / (lower - travel.Low)) : 0.0;
            if (std::lround(E2Raw(k.Inversion, e2, 0)) == InvertedCode)
                std::swap(command[0], command[1]);
        }
        Put(k.RatioA, 100 * command[0], ram);
        Put(k.RatioB, 100 * command[1], ram);

        std::array<double, 2> setpoint{};
        for (size_t side = 0; side < 2; ++side) {
            double& r = m_ramp[s][side];
            const bool rising = command[side] > r;
            const Key timeKey = side == 0 ? (rising ? k.RiseA : k.FallA) : (rising ? k.RiseB : k.FallB);
            const double rampMs = E2Display(timeKey, e2, DefaultRampMs);
            const double step = rampMs > 0 ? dtMs / rampMs : 1.0;
            r = rising ? std::min(command[side], r + step) : std::max(command[side], r - step);
            const double lo = E2Display(side == 0 ? k.MinA : k.MinB, e2, FallbackMinMilliamps);
            const double hi = E2Display(side == 0 ? k.MaxA : k.MaxB, e2, FallbackMaxMilliamps);
            setpoint[side] = r > 0 ? lo + r * (hi - lo) : 0;
            if (setpoint[side] > 0)
                outputs |= static_cast<uint16_t>(1u << (2 * s + side));
        }
        Put(k.RampA, 100 * m_ramp[s][0], ram);
        Put(k.RampB, 100 * m_ramp[s][1], ram);
        Put(k.SetpointA, setpoint[0], ram);
        Put(k.SetpointB, setpoint[1], ram);

        // The coil current follows the setpoint with the coil's time constant.
        m_current[s] += (setpoint[0] + setpoint[1] - m_current[s]) * lag;
        const double measured = std::max(0.0, m_current[s] + (m_current[s] > 1 ? Noise(2.0) : 0.0));
        Put(k.Measure, measured, ram);
        const double duty = std::clamp(100 * measured / 1000 * CoilOhms / supplyVolts, 0.0, 100.0);
        Put(k.Duty, duty, ram);
    }
    PutRaw(Key::QVS_HSD_MONITOR, outputs, ram);

    // Digital inputs: slow square waves of different periods.
    uint16_t inputs = 0;
    for (int n = 0; n < 8; ++n)
        if ((m_uptimeMs / (1500 + 500 * n)) % 2 == 1)
            inputs |= static_cast<uint16_t>(1u << n);
    PutRaw(Key::QVS_DIGIT_MONITOR, inputs, ram);

    for (Key w : ErrorWords)
        PutRaw(w, static_cast<uint16_t>(RaisedBits(w) | DemoBits(w)), ram);
}

int DrcLiveModel::ErrorSlot(Key k)
{
    for (size_t i = 0; i < ErrorWords.size(); ++i)
        if (ErrorWords[i] == k)
            return static_cast<int>(i);
    return -1;
}

bool DrcLiveModel::IsErrorWord(Key k) { return ErrorSlot(k) >= 0; }

bool DrcLiveModel::RaiseError(Key word, int bit)
{
    const int slot = ErrorSlot(word);
    if (slot < 0 || bit < 0 || bit > 15)
        return false;
    m_raised[static_cast<size_t>(slot)] |= static_cast<uint16_t>(1u << bit);
    return true;
}

bool DrcLiveModel::ClearError(Key word, int bit)
{
    const int slot = ErrorSlot(word);
    if (slot < 0 || bit < 0 || bit > 15)
        return false;
    m_raised[static_cast<size_t>(slot)] &= static_cast<uint16_t>(~(1u << bit));
    return true;
}

uint16_t DrcLiveModel::RaisedBits(Key word) const
{
    const int slot = ErrorSlot(word);
    return slot < 0 ? 0 : m_raised[static_cast<size_t>(slot)];
}

uint16_t DrcLiveModel::DemoBits(Key word) const
{
    if (!m_demoErrors)
        return 0;
    const int64_t t = m_uptimeMs;
    switch (word) {
    case Key::QVS_ERROR_CODE_0: return InWindow(t, 20000, 5000, 11000) ? 0x0002 : 0;
    case Key::QVS_ERROR_CODE_1: return InWindow(t, 27000, 14000, 18000) ? 0x0008 : 0;
    case Key::QVS_ERROR_CODE_2: return InWindow(t, 33000, 20000, 22000) ? 0x0001 : 0;
    case Key::QVS_MAIN_ERROR: return InWindow(t, 41000, 30000, 33000) ? 0x0004 : 0;
    default: return 0;
    }
}
