#include "SimTestSupport.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>

using namespace simtest;

namespace {

class LiveValuesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(drc.LoadCatalogue(catalogue.Path()), ""); }

    int RamOf(Key k) const
    {
        const int a = drc.AddressOf(k);
        EXPECT_GE(a, 0) << KeyText(k);
        return a < 0 ? -1 : drc.Ram(a);
    }
    double DisplayOf(Key k) const
    {
        const CVarData* r = drc.Catalogue().Record(k);
        return r ? r->RAMDisplayOf(RamOf(k)) : -1;
    }

    CatalogueFile catalogue;
    DrcController drc{7};
};

} // namespace

TEST_F(LiveValuesTest, JoysticksSweepBetweenTheirThresholds)
{
    int low = 65535, high = 0;
    for (int i = 0; i < 1300; ++i) { // 26 s: two sweeps of joystick 1
        drc.Tick(20);
        const int v = RamOf(Key::QVS_JOY0_VALUE);
        low = std::min(low, v);
        high = std::max(high, v);
    }
    // The configured thresholds of input 1 (102..920) are its travel.
    EXPECT_GE(low, 102);
    EXPECT_LE(high, 920);
    EXPECT_LT(low, 130);
    EXPECT_GT(high, 890);
}

TEST_F(LiveValuesTest, OutputsFollowTheJoystick)
{
    bool sawA = false, sawB = false;
    for (int i = 0; i < 1300; ++i) {
        drc.Tick(20);
        const double spA = DisplayOf(Key::QVS_SETPOINT_1A), spB = DisplayOf(Key::QVS_SETPOINT_1B);
        const int outputs = RamOf(Key::QVS_HSD_MONITOR);
        // A coil is either off or driven within its configured currents.
        EXPECT_TRUE(spA == 0 || (spA >= 399 && spA <= 1201)) << spA;
        EXPECT_TRUE(spB == 0 || (spB >= 299 && spB <= 1001)) << spB;
        EXPECT_FALSE(spA > 0 && spB > 0) << "never both sides of a section";
        EXPECT_EQ((outputs & 1) != 0, spA > 0) << "output bit 0 is coil 1A";
        EXPECT_EQ((outputs & 2) != 0, spB > 0) << "output bit 1 is coil 1B";
        EXPECT_GE(DisplayOf(Key::QVS_I0_MEASURE_400), 0);
        EXPECT_LE(DisplayOf(Key::QVS_I0_MEASURE_400), 1230);
        const double duty = DisplayOf(Key::QVS_DUTY_1);
        EXPECT_GE(duty, 0);
        EXPECT_LE(duty, 100);
        sawA = sawA || spA > 1000;
        sawB = sawB || spB > 900;
    }
    EXPECT_TRUE(sawA && sawB) << "full deflection to both sides";
}

TEST_F(LiveValuesTest, MeasuredCurrentSettlesOnTheSetpoint)
{
    // Run until the joystick has been at full A deflection for a while: the
    // measured current then sits on the setpoint within the noise.
    double worst = 0;
    int samples = 0;
    for (int i = 0; i < 600; ++i) {
        drc.Tick(20);
        const double sp = DisplayOf(Key::QVS_SETPOINT_1A);
        const double ramp = DisplayOf(Key::QVS_JOY1_RAMPE_A);
        if (ramp >= 100 && i > 100) {
            worst = std::max(worst, std::abs(DisplayOf(Key::QVS_I0_MEASURE_400) - sp));
            ++samples;
        }
    }
    ASSERT_GT(samples, 0);
    EXPECT_LT(worst, 40);
}

TEST_F(LiveValuesTest, SupplyVoltageNoiseIsSmallAndRepeatable)
{
    DrcController twin{7}, other{8};
    ASSERT_EQ(twin.LoadCatalogue(catalogue.Path()), "");
    ASSERT_EQ(other.LoadCatalogue(catalogue.Path()), "");
    const int a = drc.AddressOf(Key::QVS_VBB_400);
    bool differs = false;
    for (int i = 0; i < 200; ++i) {
        drc.Tick(20);
        twin.Tick(20);
        other.Tick(20);
        const double volts = DisplayOf(Key::QVS_VBB_400);
        EXPECT_NEAR(volts, 13.5, 0.3) << "the catalogue default is the nominal supply";
        EXPECT_EQ(drc.Ram(a), twin.Ram(a)) << "same seed, same values";
        differs = differs || drc.Ram(a) != other.Ram(a);
    }
    EXPECT_TRUE(differs) << "another seed gives other noise";
}

TEST_F(LiveValuesTest, InversionSwapsTheCoils)
{
    DrcController inverted{7};
    ASSERT_EQ(inverted.LoadCatalogue(catalogue.Path()), "");
    inverted.SetE2(18, 170); // QVS_JOY_0_INV: "B coil"
    for (int i = 0; i < 150; ++i) {
        drc.Tick(20);
        inverted.Tick(20);
    }
    const int sp1A = drc.AddressOf(Key::QVS_SETPOINT_1A), sp1B = drc.AddressOf(Key::QVS_SETPOINT_1B);
    ASSERT_GT(drc.Ram(sp1A), 0) << "the joystick starts towards side A";
    EXPECT_EQ(inverted.Ram(sp1A), 0);
    EXPECT_GT(inverted.Ram(sp1B), 0);
}

TEST_F(LiveValuesTest, AMissingSectionHasNoOutputs)
{
    drc.SetE2(1, 1); // QVS_NUM_PROP_REG: a DRC 100
    int joystick2Low = 65535, joystick2High = 0;
    for (int i = 0; i < 900; ++i) {
        drc.Tick(20);
        EXPECT_EQ(RamOf(Key::QVS_SETPOINT_2A), 0);
        EXPECT_EQ(RamOf(Key::QVS_I1_MEASURE_400), 0);
        EXPECT_EQ(RamOf(Key::QVS_HSD_MONITOR) & 0x0C, 0);
        joystick2Low = std::min(joystick2Low, RamOf(Key::QVS_JOY1_VALUE));
        joystick2High = std::max(joystick2High, RamOf(Key::QVS_JOY1_VALUE));
    }
    EXPECT_GT(joystick2High - joystick2Low, 500) << "the input itself still moves";
}

TEST_F(LiveValuesTest, ErrorBitsAreRaisedAndClearedAtOnce)
{
    EXPECT_EQ(RamOf(Key::QVS_ERROR_CODE_0), 0);
    EXPECT_TRUE(drc.RaiseError(Key::QVS_ERROR_CODE_0, 3));
    EXPECT_TRUE(drc.RaiseError(Key::QVS_ERROR_CODE_0, 15));
    EXPECT_TRUE(drc.RaiseError(Key::QVS_MAIN_ERROR, 0));
    EXPECT_EQ(RamOf(Key::QVS_ERROR_CODE_0), 0x8008);
    EXPECT_EQ(RamOf(Key::QVS_MAIN_ERROR), 1);
    drc.Tick(1000);
    EXPECT_EQ(RamOf(Key::QVS_ERROR_CODE_0), 0x8008) << "raised bits stay until cleared";
    EXPECT_TRUE(drc.ClearError(Key::QVS_ERROR_CODE_0, 3));
    EXPECT_EQ(RamOf(Key::QVS_ERROR_CODE_0), 0x8000);
    drc.ClearAllErrors();
    EXPECT_EQ(RamOf(Key::QVS_ERROR_CODE_0), 0);
    EXPECT_EQ(RamOf(Key::QVS_MAIN_ERROR), 0);

    EXPECT_FALSE(drc.RaiseError(Key::QVS_VBB_400, 0)) << "not an error word";
    EXPECT_FALSE(drc.RaiseError(Key::QVS_ERROR_CODE_0, 16));
    EXPECT_FALSE(drc.ClearError(Key::QVS_ERROR_CODE_1, -1));
}

TEST_F(LiveValuesTest, DemoErrorsComeAndGo)
{
    drc.SetDemoErrors(true);
    bool on = false, offAgain = false;
    for (int i = 0; i < 1100; ++i) { // 22 s: one cycle of error word 0
        drc.Tick(20);
        const int v = RamOf(Key::QVS_ERROR_CODE_0);
        on = on || v != 0;
        offAgain = offAgain || (on && v == 0);
    }
    EXPECT_TRUE(on);
    EXPECT_TRUE(offAgain);
    drc.SetDemoErrors(false);
    drc.Tick(20);
    EXPECT_EQ(RamOf(Key::QVS_ERROR_CODE_0), 0);
}

TEST_F(LiveValuesTest, DigitalInputsToggleSlowly)
{
    int changes = 0, last = RamOf(Key::QVS_DIGIT_MONITOR);
    for (int i = 0; i < 500; ++i) { // 10 s
        drc.Tick(20);
        const int v = RamOf(Key::QVS_DIGIT_MONITOR);
        EXPECT_EQ(v & ~0xFF, 0) << "eight inputs";
        changes += v != last;
        last = v;
    }
    EXPECT_GT(changes, 3);
    EXPECT_LT(changes, 60);
}

TEST(LiveValuesUnbound, KeysTheCatalogueLacksAreNotSimulated)
{
    CatalogueFile catalogue(";header\r\nSections\t1\tQVS_NUM_PROP_REG\t\t2\t0\t10\t1\t4\r\n"
                            "Plain\t1049\t\t\t7\t0\t0\t0\t1023\r\n");
    DrcController drc;
    ASSERT_EQ(drc.LoadCatalogue(catalogue.Path()), "");
    for (int i = 0; i < 100; ++i)
        drc.Tick(20);
    EXPECT_EQ(drc.Ram(1049), 7) << "the word of an unbound key keeps its value";
    EXPECT_FALSE(drc.RaiseError(Key::QVS_ERROR_CODE_0, 1)) << "no such word in this catalogue";
    for (int a = 1026; a < 1100; ++a)
        EXPECT_EQ(drc.Ram(a), a == 1049 ? 7 : 0) << a;
}

TEST(LiveValuesTimer, TheLiveTimerAdvancesInRealTime)
{
    EnsureApplication();
    CatalogueFile catalogue;
    DrcController drc;
    ASSERT_EQ(drc.LoadCatalogue(catalogue.Path()), "");
    drc.StartLiveTimer(10);
    EXPECT_TRUE(drc.LiveTimerActive());
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 150)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    drc.StopLiveTimer();
    EXPECT_FALSE(drc.LiveTimerActive());
    EXPECT_GE(drc.UptimeMs(), 100);
    EXPECT_LE(drc.UptimeMs(), clock.elapsed() + 5);
}
