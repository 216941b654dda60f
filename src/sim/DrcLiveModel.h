#pragma once
// The live RAM values of the simulated controller: two joysticks sweeping
// slowly between their limits, the ramped ratios, setpoints, duty cycles and
// measured coil currents that follow them, the supply voltage with a little
// noise, the output and digital input words and the error words.
//
// The physics is worked out in the units the tool displays (percent, mA,
// volts) and turned into raw words through the catalogue record's own
// conversion formula, so any catalogue shows sensible values. A key the
// catalogue does not bind is simply not simulated.
#include "core/link/CatalogueKeys.h"

#include <array>
#include <cstdint>
#include <random>
#include <vector>

class CVarData;
class IDData;

using WordMemory = std::vector<uint16_t>;

class DrcLiveModel {
public:
    static constexpr double NominalSupplyVolts = 24.0;
    static constexpr double CoilOhms = 10.0;
    static constexpr double DefaultRampMs = 400; // ramp 0 -> 100 % without a ramp time
    static constexpr double CurrentLagMs = 60;   // coil time constant
    static constexpr std::array<double, 2> JoystickPeriodMs{12000, 17000};

    // Resolves the catalogue keys; the catalogue must outlive the model.
    void Bind(const IDData* catalogue);
    // Power-up: neutral joysticks, no current, time 0, noise restarted.
    void Reset(uint32_t seed);
    // Advances the simulated time and writes every live word into ram.
    void Advance(int dtMs, const WordMemory& e2, WordMemory& ram);
    // Writes the live words for the current time without advancing it.
    void Publish(const WordMemory& e2, WordMemory& ram) { Advance(0, e2, ram); }

    int64_t UptimeMs() const { return m_uptimeMs; }

    // Error words: bits raised by a test or an operator, kept until cleared
    // (also across power cycles: the fault is in the machine).
    static bool IsErrorWord(Key k);
    bool RaiseError(Key word, int bit);
    bool ClearError(Key word, int bit);
    void ClearAllErrors() { m_raised.fill(0); }
    uint16_t RaisedBits(Key word) const;
    // Demo mode: a few error bits come and go on slow cycles.
    void SetDemoErrors(bool on) { m_demoErrors = on; }
    bool DemoErrors() const { return m_demoErrors; }
    uint16_t DemoBits(Key word) const;

    // The raw word whose display value is closest to display, by the record's
    // RAM formula taken as linear (identity without a formula), clamped to a
    // word and to the record's limits when they are narrower.
    static uint16_t RawForDisplay(const CVarData& record, double display);

private:
    static constexpr std::array<Key, 5> ErrorWords{Key::QVS_MAIN_ERROR, Key::QVS_ERROR_CODE_0,
                                                   Key::QVS_ERROR_CODE_1, Key::QVS_ERROR_CODE_2,
                                                   Key::QVS_ERROR_CODE_3};
    static int ErrorSlot(Key k);

    const CVarData* RecordOf(Key k) const;
    double E2Display(Key k, const WordMemory& e2, double fallback) const;
    void Put(Key k, double display, WordMemory& ram) const;
    void PutRaw(Key k, uint16_t raw, WordMemory& ram) const;
    double E2Raw(Key k, const WordMemory& e2, double fallback) const;
    // A joystick's travel: raw words when the catalogue gives its raw range
    // (the configured thresholds, neutral and dead band apply), else percent.
    struct Travel {
        bool Raw = false;
        double Low = 0, High = 100, Neutral = 50, Band = 5;
    };
    Travel JoystickTravel(Key value, Key thMin, Key thMax, Key neutral, Key band, const WordMemory& e2) const;
    double Noise(double sigma);

    const IDData* m_catalogue = nullptr;
    int64_t m_uptimeMs = 0;
    std::array<std::array<double, 2>, 2> m_ramp{}; // [section][side] 0..1
    std::array<double, 2> m_current{};             // mA, per section
    std::array<uint16_t, 5> m_raised{};
    bool m_demoErrors = false;
    std::mt19937 m_rng;
};
