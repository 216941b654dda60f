// The catalogue shipped in res/ini is the controller's memory map for a
// two-section controller; these checks hold it to what the pages expect.
#include "core/files/TextCodec.h"
#include "core/link/IDData.h"
#include "core/link/StringEval.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

namespace {

const char* const Path = QVS_SOURCE_DIR "/res/ini/Ramlist.ini";

constexpr int16_t ReadOnly = 10, Writable = 11, RamOnly = 0;

class ShippedCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        table = new IDData;
        loadResult = table->LoadCatalogue(Path);
    }
    static void TearDownTestSuite() { delete table; }

    static const CVarDataS& S(Key k)
    {
        const CVarData* r = table->Record(k);
        if (!r)
            throw std::runtime_error("unbound key " + std::string(KeyText(k)));
        return r->DataS;
    }

    static IDData* table;
    static std::string loadResult;
};
IDData* ShippedCatalogue::table = nullptr;
std::string ShippedCatalogue::loadResult;

} // namespace

TEST_F(ShippedCatalogue, LoadsAndBindsEveryKeyOnce)
{
    ASSERT_EQ(loadResult, "") << table->LastLoadDetail();
    EXPECT_LE(table->Count(), IDData::MaxRecords);
    for (size_t k = 0; k < KeyCount; ++k)
        EXPECT_NE(table->Record(static_cast<Key>(k)), nullptr) << KeyTexts[k];

    // Each key in exactly one line (a duplicate would silently shadow one).
    QFile f(Path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    auto lines = SplitLines(DecodeCp1252(bytes));
    std::map<std::string, int> uses;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::string rest = lines[i];
        NextField(rest);
        NextField(rest);
        const std::string key = NextField(rest);
        if (!key.empty())
            ++uses[key];
    }
    for (const auto& [key, n] : uses) {
        EXPECT_EQ(n, 1) << key;
        EXPECT_TRUE(KeyFromText(key).has_value()) << "not a catalogue key: " << key;
    }

    // The file itself: a header comment naming 13 columns, CR LF line ends,
    // 13 columns on every line.
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0][0], ';');
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), '\t'), 12);
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\r'));
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), '\t'), 12) << "line " << i + 1;
}

TEST_F(ShippedCatalogue, AddressesAreUniqueUsableAndClearOfTheResetSignature)
{
    ASSERT_EQ(loadResult, "");
    std::set<int32_t> seen;
    for (int i = 1; i < table->VarTableEnd; ++i) {
        const CVarDataS& s = table->At(i)->DataS;
        EXPECT_TRUE(seen.insert(s.Address).second) << "address " << s.Address << " twice";
        EXPECT_GE(s.Address, 0) << s.Name;
        EXPECT_LE(s.Address, 32767) << s.Name;
        EXPECT_FALSE(s.Address >= 250 && s.Address <= 254) << s.Name;
    }
}

TEST_F(ShippedCatalogue, DefaultsLieWithinLimitsAndEveryFormulaConverts)
{
    ASSERT_EQ(loadResult, "");
    for (int i = 1; i < table->VarTableEnd; ++i) {
        CVarData probe = *table->At(i);
        const CVarDataS& s = probe.DataS;
        SCOPED_TRACE(s.Name);
        EXPECT_FALSE(s.Name.empty());
        EXPECT_LE(s.CedValE2Min, s.CedValE2Max);
        EXPECT_GE(s.CedValueDefault, s.CedValE2Min);
        EXPECT_LE(s.CedValueDefault, s.CedValE2Max);
        EXPECT_GE(s.CedValE2Min, 0);
        EXPECT_LE(s.CedValE2Max, 65535) << "values are 16-bit words";

        // Both directions and every RAM variant convert the default, and the
        // display formula undoes the raw one.
        ASSERT_NO_THROW(probe.ReadE2FromCED(s.CedValueDefault));
        for (int16_t system = 1; system <= 4; ++system) {
            probe.DataS.CurrentDRCSystem = system;
            ASSERT_NO_THROW(probe.ReadRAMFromCED(s.CedValueDefault)) << "system " << system;
        }
        if (!s.F_DisplayToDownload.empty()) {
            ASSERT_FALSE(s.F_DownloadToDisplay.empty()) << "a raw formula needs its display formula";
            if (s.QVSPageDomain != RamOnly) {
                // An E2 parameter: the rounded display value converts back to its raw value.
                ASSERT_NO_THROW(probe.QVSSetVar(s.QvsDisplayValueE2));
                EXPECT_NEAR(probe.DataS.QvsDownloadValueE2, s.CedValueDefault, 1.0);
            }
            for (int32_t raw : {s.CedValE2Min, s.CedValE2Max}) {
                const double shown = EvaluateFormula(s.F_DownloadToDisplay, raw);
                EXPECT_NEAR(EvaluateFormula(s.F_DisplayToDownload, static_cast<int32_t>(std::lround(shown))), raw,
                            std::max(1.0, std::fabs(raw) * 0.01))
                    << "raw " << raw;
            }
        }
        EXPECT_EQ(s.F_DownloadToDisplay.find('|'), std::string::npos)
            << "a | formula shows 0 on a DRC 400";
    }
}

TEST_F(ShippedCatalogue, PageDomainsAndSections)
{
    ASSERT_EQ(loadResult, "");
    const std::set<Key> ramOnly = {
        Key::QVS_VBB_400,       Key::QVS_JOY0_VALUE,     Key::QVS_JOY1_VALUE,     Key::QVS_JOY0_RAT_A,
        Key::QVS_JOY0_RAT_B,    Key::QVS_JOY1_RAT_A,     Key::QVS_JOY1_RAT_B,     Key::QVS_JOY1_RAMPE_A,
        Key::QVS_JOY1_RAMPE_B,  Key::QVS_JOY2_RAMPE_A,   Key::QVS_JOY2_RAMPE_B,   Key::QVS_SETPOINT_1A,
        Key::QVS_SETPOINT_1B,   Key::QVS_SETPOINT_2A,    Key::QVS_SETPOINT_2B,    Key::QVS_DUTY_1,
        Key::QVS_DUTY_2,        Key::QVS_ERROR_CODE_0,   Key::QVS_ERROR_CODE_1,   Key::QVS_ERROR_CODE_2,
        Key::QVS_ERROR_CODE_3,  Key::QVS_FLOAT_SLOW_EN,  Key::QVS_I0_MEASURE_400, Key::QVS_I1_MEASURE_400,
        Key::QVS_MAIN_ERROR,    Key::QVS_DIGIT_MONITOR,  Key::QVS_HSD_MONITOR};
    const std::set<Key> readOnly = {Key::QVS_PROG_VERS, Key::QVS_DITHER_EDIT, Key::QVS_NUM_PROP_REG,
                                    Key::QVS_SYSTEM_TYPE};
    // Section 2: coils 2A and 2B, input 2, ramp and float function 2.
    const std::set<Key> section2 = {
        Key::QVS_JOY_1_CONFIG,  Key::QVS_I2_MIN,          Key::QVS_I2_MAX,          Key::QVS_I3_MIN,
        Key::QVS_I3_MAX,        Key::QVS_I2_SDM_MIN,      Key::QVS_I2_SDM_MAX,      Key::QVS_I3_SDM_MIN,
        Key::QVS_I3_SDM_MAX,    Key::QVS_FLOAT_1_CURRENT, Key::QVS_RAMP_INV_MODE_1, Key::QVS_RAMP_TRISE_2,
        Key::QVS_RAMP_TFALL_2,  Key::QVS_RAMP_TRISE_3,    Key::QVS_RAMP_TFALL_3,    Key::QVS_JOY_1_INV,
        Key::QVS_JOY1_WAIT,     Key::QVS_JOY1_AN_INPUT,   Key::QVS_JOY1_DGT_INPUT,  Key::QVS_JOY1_DB,
        Key::QVS_JOY1_NEUTRAL,  Key::QVS_JOY1_TH_MIN,     Key::QVS_JOY1_TH_MAX,     Key::QVS_JOY1_ERR_TH_MIN,
        Key::QVS_JOY1_ERR_TH_MAX, Key::QVS_JOY_1_ID,      Key::QVS_JOY_1_UP,        Key::QVS_JOY_1_RANGE,
        Key::QVS_JOY1_VALUE,    Key::QVS_JOY1_RAT_A,      Key::QVS_JOY1_RAT_B,      Key::QVS_JOY2_RAMPE_A,
        Key::QVS_JOY2_RAMPE_B,  Key::QVS_SETPOINT_2A,     Key::QVS_SETPOINT_2B,     Key::QVS_DUTY_2,
        Key::QVS_ERROR_CODE_2,  Key::QVS_I1_MEASURE_400};

    for (size_t i = 0; i < KeyCount; ++i) {
        const Key k = static_cast<Key>(i);
        const CVarDataS& s = S(k);
        SCOPED_TRACE(std::string(KeyText(k)));
        if (ramOnly.count(k))
            EXPECT_EQ(s.QVSPageDomain, RamOnly);
        else if (readOnly.count(k))
            EXPECT_EQ(s.QVSPageDomain, ReadOnly);
        else
            EXPECT_EQ(s.QVSPageDomain, Writable);
        EXPECT_EQ(s.DrcTypeID, section2.count(k) ? 1 : 0);
    }

    // Lines without a key: only Configure parameters of sections 3 and 4,
    // which the section gate keeps away from a two-section controller.
    std::set<int> keyed;
    for (size_t i = 0; i < KeyCount; ++i)
        keyed.insert(table->Index(static_cast<Key>(i)));
    for (int i = 1; i < table->VarTableEnd; ++i) {
        const CVarDataS& s = table->At(i)->DataS;
        if (keyed.count(i))
            continue;
        EXPECT_EQ(s.QVSPageDomain, Writable) << s.Name;
        EXPECT_TRUE(s.DrcTypeID == 2 || s.DrcTypeID == 3) << s.Name;
    }
    EXPECT_LT(S(Key::QVS_NUM_PROP_REG).CedValueDefault, 3) << "the default model has two sections";
}

TEST_F(ShippedCatalogue, ConfigurationParametersRoundTripThroughFiles)
{
    ASSERT_EQ(loadResult, "");
    // Saved lines are found again by address only, but lines with an empty
    // description or "---" in it are skipped on load.
    for (int i = 1; i < table->VarTableEnd; ++i) {
        const CVarDataS& s = table->At(i)->DataS;
        if ((s.QVSPageDomain & 10) == 0)
            continue;
        EXPECT_FALSE(s.TooltipDecription.empty()) << s.Name;
        EXPECT_EQ(s.TooltipDecription.find("---"), std::string::npos) << s.Name;
    }
}

TEST_F(ShippedCatalogue, ValuesMatchWhatThePagesUse)
{
    ASSERT_EQ(loadResult, "");
    // Controller model and link keys.
    EXPECT_EQ(S(Key::QVS_NUM_PROP_REG).CedValE2Min, 1);
    EXPECT_EQ(S(Key::QVS_NUM_PROP_REG).CedValE2Max, 4);
    EXPECT_EQ(S(Key::QVS_NUM_PROP_REG).CedValueDefault, 2);
    EXPECT_EQ(S(Key::QVS_DITHER_EDIT).CedValueDefault, 170);
    EXPECT_EQ(S(Key::QVS_DITHER_EDIT).CedValE2Max, 65535) << "an odd word must not be reset to 170";
    EXPECT_EQ(S(Key::QVS_SYSTEM_TYPE).CedValE2Min, 0);
    EXPECT_EQ(S(Key::QVS_SYSTEM_TYPE).CedValE2Max, 1);
    EXPECT_EQ(S(Key::QVS_DITHER_FREQ).CedValE2Min, 0);
    EXPECT_EQ(S(Key::QVS_DITHER_FREQ).CedValE2Max, 16);
    EXPECT_GT(S(Key::QVS_PROG_VERS).CedValueDefault, 0) << "the status bar shows a version";
    EXPECT_EQ(S(Key::QVS_MAIN_ERROR).CedValueDefault, 0) << "the controller starts ready";

    // Two-state parameters hold 170 or 85.
    for (Key k : {Key::QVS_RAMP_INV_MODE_0, Key::QVS_RAMP_INV_MODE_1, Key::QVS_JOY_0_INV, Key::QVS_JOY_1_INV,
                  Key::QVS_JOY0_WAIT, Key::QVS_JOY1_WAIT}) {
        const CVarDataS& s = S(k);
        EXPECT_TRUE(s.CedValueDefault == 170 || s.CedValueDefault == 85) << KeyText(k);
        EXPECT_EQ(s.CedValE2Min, 85) << KeyText(k);
        EXPECT_EQ(s.CedValE2Max, 170) << KeyText(k);
    }
    // Pin codes are one-hot.
    const std::set<int32_t> pins = {0, 1, 2, 4, 8};
    EXPECT_TRUE(pins.count(S(Key::QVS_DEAD_MAN_CFG).CedValueDefault & 0xF));
    for (Key k : {Key::QVS_JOY0_AN_INPUT, Key::QVS_JOY1_AN_INPUT}) {
        EXPECT_TRUE(pins.count(S(k).CedValueDefault)) << KeyText(k);
        EXPECT_EQ(S(k).CedValE2Max, 8);
    }
    for (Key k : {Key::QVS_JOY0_DGT_INPUT, Key::QVS_JOY1_DGT_INPUT}) {
        const int32_t v = S(k).CedValueDefault;
        EXPECT_TRUE(pins.count(v & 0xF) && pins.count(v >> 4)) << KeyText(k);
        EXPECT_EQ(S(k).CedValE2Max, 0x88);
    }
    const int32_t fs = S(Key::QVS_FLOAT_SLOW_CONFIG).CedValueDefault;
    EXPECT_LE(fs & 0x3, 2);
    EXPECT_LE((fs >> 2) & 0x3, 2);
    EXPECT_TRUE(pins.count((fs >> 4) & 0xF) && pins.count((fs >> 8) & 0xF) && pins.count((fs >> 12) & 0xF));
    // Default input pins do not clash with each other or with the function pins.
    EXPECT_NE(S(Key::QVS_JOY0_AN_INPUT).CedValueDefault, S(Key::QVS_JOY1_AN_INPUT).CedValueDefault);

    // Inputs: types, ranges, signal table of the input dialog (10-90 %).
    for (Key k : {Key::QVS_JOY_0_CONFIG, Key::QVS_JOY_1_CONFIG}) {
        const std::set<int32_t> types = {0, 1, 2, 15, 16};
        EXPECT_TRUE(types.count(S(k).CedValueDefault)) << KeyText(k);
        EXPECT_EQ(S(k).CedValE2Max, 16);
    }
    for (Key k : {Key::QVS_JOY_0_RANGE, Key::QVS_JOY_1_RANGE}) {
        EXPECT_EQ(S(k).CedValueDefault, 1);
        EXPECT_EQ(S(k).CedValE2Min, 1);
        EXPECT_EQ(S(k).CedValE2Max, 8);
    }
    for (Key k : {Key::QVS_JOY_0_ID, Key::QVS_JOY_1_ID})
        EXPECT_EQ(S(k).CedValE2Max, 255) << "255 stands for no joystick";
    EXPECT_EQ(S(Key::QVS_JOY0_NEUTRAL).CedValueDefault, 511);
    EXPECT_EQ(S(Key::QVS_JOY0_DB).CedValueDefault, 41);
    EXPECT_EQ(S(Key::QVS_JOY0_TH_MIN).CedValueDefault, 102);
    EXPECT_EQ(S(Key::QVS_JOY0_TH_MAX).CedValueDefault, 920);
    EXPECT_EQ(S(Key::QVS_JOY0_ERR_TH_MIN).CedValueDefault, 51);
    EXPECT_EQ(S(Key::QVS_JOY0_ERR_TH_MAX).CedValueDefault, 971);
    // Everything the input dialog stores with QVSSetVar is in raw units.
    for (Key k : {Key::QVS_JOY_0_CONFIG, Key::QVS_JOY_0_ID, Key::QVS_JOY_0_INV, Key::QVS_JOY0_WAIT,
                  Key::QVS_JOY0_AN_INPUT, Key::QVS_JOY0_DGT_INPUT, Key::QVS_JOY0_DB, Key::QVS_JOY0_NEUTRAL,
                  Key::QVS_JOY0_TH_MIN, Key::QVS_JOY0_TH_MAX, Key::QVS_JOY0_ERR_TH_MIN, Key::QVS_JOY0_ERR_TH_MAX,
                  Key::QVS_JOY_0_UP, Key::QVS_JOY_0_RANGE, Key::QVS_DEAD_MAN_CFG, Key::QVS_FLOAT_SLOW_CONFIG,
                  Key::QVS_FLOAT_0_CURRENT, Key::QVS_FLOAT_1_CURRENT, Key::QVS_DITHER_FREQ})
        EXPECT_TRUE(S(k).F_DisplayToDownload.empty() && S(k).F_DownloadToDisplay.empty()) << KeyText(k);

    // Coil currents: inside the section control's 100..2000 mA spinner, min below max.
    const Key mins[] = {Key::QVS_I0_MIN, Key::QVS_I1_MIN, Key::QVS_I2_MIN, Key::QVS_I3_MIN,
                        Key::QVS_I0_SDM_MIN, Key::QVS_I1_SDM_MIN, Key::QVS_I2_SDM_MIN, Key::QVS_I3_SDM_MIN};
    const Key maxs[] = {Key::QVS_I0_MAX, Key::QVS_I1_MAX, Key::QVS_I2_MAX, Key::QVS_I3_MAX,
                        Key::QVS_I0_SDM_MAX, Key::QVS_I1_SDM_MAX, Key::QVS_I2_SDM_MAX, Key::QVS_I3_SDM_MAX};
    for (int i = 0; i < 8; ++i) {
        const CVarDataS& lo = S(mins[i]);
        const CVarDataS& hi = S(maxs[i]);
        SCOPED_TRACE(std::string(KeyText(mins[i])));
        EXPECT_LT(lo.QvsDisplayValueE2, hi.QvsDisplayValueE2);
        for (const CVarDataS* s : {&lo, &hi}) {
            EXPECT_GE(s->QvsDisplayValueE2, 100);
            EXPECT_LE(s->QvsDisplayValueE2, 2000);
            EXPECT_EQ(s->Unit, "mA");
        }
    }
    // Ramps: 16-bit scroll bars in ms.
    for (Key k : {Key::QVS_RAMP_TRISE_0, Key::QVS_RAMP_TFALL_0, Key::QVS_RAMP_TRISE_1, Key::QVS_RAMP_TFALL_1,
                  Key::QVS_RAMP_TRISE_2, Key::QVS_RAMP_TFALL_2, Key::QVS_RAMP_TRISE_3, Key::QVS_RAMP_TFALL_3}) {
        EXPECT_LE(S(k).CedValE2Max, 32767) << KeyText(k);
        EXPECT_EQ(S(k).Unit, "ms");
    }

    // Monitors: joystick values in %, currents in mA, supply in V, all named.
    for (Key k : {Key::QVS_JOY0_VALUE, Key::QVS_JOY1_VALUE}) {
        const CVarDataS& s = S(k);
        EXPECT_EQ(s.Unit, "%");
        EXPECT_NEAR(EvaluateFormula(s.F_DownloadToDisplay, s.CedValE2Max), 100, 0.5);
        EXPECT_NEAR(EvaluateFormula(s.F_DownloadToDisplay, s.CedValE2Min), 0, 0.5);
    }
    for (Key k : {Key::QVS_I0_MEASURE_400, Key::QVS_I1_MEASURE_400}) {
        EXPECT_EQ(S(k).Unit, "mA");
        EXPECT_GE(EvaluateFormula(S(k).F_DownloadToDisplay, S(k).CedValE2Max), 2000) << "covers the coil range";
    }
    const CVarDataS& vbb = S(Key::QVS_VBB_400);
    EXPECT_EQ(vbb.Unit, "V");
    const double volts = EvaluateFormula(vbb.F_DownloadToDisplay, vbb.CedValueDefault);
    EXPECT_GT(volts, 9);
    EXPECT_LT(volts, 32);
    for (Key k : {Key::QVS_JOY0_VALUE, Key::QVS_JOY1_VALUE, Key::QVS_I0_MEASURE_400, Key::QVS_I1_MEASURE_400,
                  Key::QVS_VBB_400, Key::QVS_MAIN_ERROR, Key::QVS_ERROR_CODE_0, Key::QVS_ERROR_CODE_1,
                  Key::QVS_ERROR_CODE_2, Key::QVS_ERROR_CODE_3}) {
        EXPECT_FALSE(S(k).MonitorName.empty()) << KeyText(k);
        EXPECT_EQ(S(k).F_DownloadToDisplay.find('&'), std::string::npos) << "would show as ON/OFF";
    }
}
