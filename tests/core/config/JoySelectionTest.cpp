// The working copy of the input selection: what each showing, pick and
// handler does to the fourteen values and the controls, and what "OK"
// collects and the checks report.
#include "core/config/JoySelection.h"
#include "core/link/IDData.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace config;

namespace {

class JoySelectionTest : public ::testing::Test {
protected:
    JoySelectionTest() : catalogue(LoadJoyCatalogue(QStringLiteral(QVS_SOURCE_DIR "/res"))), sel(catalogue) {}

    int Pos(int32_t id) const
    {
        for (int i = 0; i < catalogue.Size(); ++i)
            if (catalogue.Entries[size_t(i)].id == id)
                return i;
        ADD_FAILURE() << "no entry " << id;
        return -1;
    }
    // The catalogue defaults of an input: generic joystick on C2.02, 5 V, 10-90 %.
    static JoyWorkingCopy Defaults()
    {
        return JoyWorkingCopy::FromStoreOrder({1, 1, 85, 85, 1, 0, 41, 511, 102, 920, 51, 971, 0, 1});
    }
    const JoyControls& C() const { return sel.Controls(); }

    JoyCatalogue catalogue;
    JoySelection sel;
};

TEST_F(JoySelectionTest, ShowingTheDefaultsKeepsThemOnOk)
{
    ASSERT_TRUE(catalogue.Error.empty()) << catalogue.Error;
    sel.Show(0, Defaults());
    EXPECT_EQ(C().InputType, JoystickEntry);
    EXPECT_EQ(C().VoltageRange, 0);
    EXPECT_EQ(C().Range, 0);
    EXPECT_TRUE(C().RangeEnabled);
    EXPECT_TRUE(C().VoltageRangeEnabled);
    EXPECT_EQ(C().PinL, 1);
    EXPECT_FALSE(C().DigitalPinsShown);
    EXPECT_EQ(C().Inversion, 1);
    EXPECT_TRUE(C().NeutralNeed);
    EXPECT_EQ(C().Detail.Kind, DetailKind::Entry);
    EXPECT_EQ(C().Detail.Code, "JOYSTICK");
    EXPECT_TRUE(sel.CheckData().empty());
    EXPECT_EQ(sel.Collect().InStoreOrder(), Defaults().InStoreOrder());
}

TEST_F(JoySelectionTest, TheSignalRangeTableIsStoredOnOk)
{
    const int32_t expected[3][7] = {
        {1, 511, 41, 102, 920, 51, 971}, {2, 511, 41, 255, 767, 122, 900}, {8, 25, 26, 0, 971, 0, 1003}};
    for (int r = 0; r < 3; ++r) {
        JoyWorkingCopy odd = Defaults();
        odd.DeadBand = odd.Neutral = odd.ThMin = odd.ThMax = odd.ErrThMin = odd.ErrThMax = 7;
        sel.Show(1, odd);
        sel.SelectRange(r);
        const JoyWorkingCopy w = sel.Collect();
        EXPECT_EQ((std::array<int32_t, 7>{w.Range, w.Neutral, w.DeadBand, w.ThMin, w.ThMax, w.ErrThMin, w.ErrThMax}),
                  (std::array<int32_t, 7>{expected[r][0], expected[r][1], expected[r][2], expected[r][3],
                                          expected[r][4], expected[r][5], expected[r][6]}))
            << r;
        EXPECT_EQ(sel.Input(), 1);
    }
}

TEST_F(JoySelectionTest, PlcLocksTheRangeAndTheReferenceGivesTheType)
{
    for (int reference = 0; reference < 2; ++reference) {
        sel.Show(0, Defaults());
        sel.SelectInputType(PlcEntry);
        EXPECT_FALSE(C().RangeEnabled);
        EXPECT_EQ(C().Range, 2);
        EXPECT_EQ(C().Detail.Code, "CUSTOM"); // identifier 1 is not the PLC entry
        sel.SelectVoltageRange(reference);
        sel.SelectPinL(3); // C2.04 goes with either reference
        const JoyWorkingCopy w = sel.Collect();
        EXPECT_EQ(w.Type, reference == 0 ? 1 : 2);
        EXPECT_EQ(w.Range, 8);
        EXPECT_EQ(w.Neutral, 25);
        EXPECT_EQ(w.DeadBand, 26);
        EXPECT_EQ(w.ThMin, 0);
        EXPECT_EQ(w.ThMax, 971);
        EXPECT_EQ(w.ErrThMin, 0);
        EXPECT_EQ(w.ErrThMax, 1003);
        EXPECT_EQ(w.AnalogPin, 4);
    }
    // The stored PLC shows as "PLC" again, with the range locked on 0-95 %.
    JoyWorkingCopy plc = sel.Collect();
    sel.Show(0, plc);
    EXPECT_EQ(C().InputType, PlcEntry);
    EXPECT_EQ(C().VoltageRange, 1);
    EXPECT_EQ(C().Range, 2);
    EXPECT_FALSE(C().RangeEnabled);
}

TEST_F(JoySelectionTest, CatalogueJoystickKeptOrChangedToCustom)
{
    sel.Show(0, Defaults());
    const int js = Pos(2); // single axis, JConfig_0 = 0x0201: type 1, range 25-75 %
    ASSERT_TRUE(sel.PickEntry(js));
    EXPECT_EQ(sel.RememberedType(), 1);
    EXPECT_EQ(C().Range, 1);
    EXPECT_EQ(C().Detail.Position, js);
    JoyWorkingCopy w = sel.Collect();
    EXPECT_EQ(w.Id, 2);
    EXPECT_EQ(w.Type, 1);
    EXPECT_EQ(w.Range, 2);

    ASSERT_TRUE(sel.PickEntry(js));
    sel.SelectVoltageRange(1);
    EXPECT_EQ(C().Detail.Code, "CUSTOM"); // C2.02 on the battery reference
    w = sel.Collect();
    EXPECT_EQ(w.Type, 2);
    EXPECT_EQ(w.Id, CustomJoyId);

    // The PLC entry keeps its identifier with its own battery reference.
    ASSERT_TRUE(sel.PickEntry(Pos(PlcJoyId)));
    EXPECT_EQ(C().InputType, PlcEntry);
    sel.SelectPinL(4);
    w = sel.Collect();
    EXPECT_EQ(w.Id, PlcJoyId);
    EXPECT_EQ(w.Type, 2);
}

TEST_F(JoySelectionTest, GreyedEntriesCannotBePicked)
{
    sel.Show(0, Defaults());
    const JoyWorkingCopy before = sel.Working();
    const int greyed = Pos(4);
    ASSERT_FALSE(JoySelection::Pickable(catalogue.Entries[size_t(greyed)]));
    EXPECT_FALSE(sel.PickEntry(greyed));
    EXPECT_FALSE(sel.PickEntry(catalogue.Size()));
    EXPECT_FALSE(sel.PickEntry(-1));
    EXPECT_EQ(sel.Working().InStoreOrder(), before.InStoreOrder());
}

TEST_F(JoySelectionTest, NotConnectedStoresTheNotUsedIdentifier)
{
    sel.Show(1, Defaults());
    sel.SelectRange(1);
    sel.SelectVoltageRange(1);
    sel.SelectInputType(NotConnectedEntry);
    EXPECT_FALSE(C().RangeEnabled);
    EXPECT_FALSE(C().VoltageRangeEnabled);
    EXPECT_EQ(C().Detail.Kind, DetailKind::NotUsed);
    EXPECT_EQ(C().Detail.Code, "NOT USED");
    // The input gives up its pin, so no check or pin conflict names it.
    EXPECT_EQ(C().PinL, 0);
    EXPECT_TRUE(sel.CheckData().empty());
    const JoyWorkingCopy w = sel.Collect();
    EXPECT_EQ(w.Type, 0);
    EXPECT_EQ(w.Id, 255);
    EXPECT_EQ(w.AnalogPin, 0);
    EXPECT_EQ(w.DigitalPins, 0);
    EXPECT_EQ(w.Range, 1); // the list went back to its first entry

    // Shown again: "not connected", the not-used entry as detail.
    sel.Show(1, w);
    EXPECT_EQ(C().InputType, NotConnectedEntry);
    EXPECT_EQ(C().Detail.Position, Pos(255));
    EXPECT_FALSE(C().RangeEnabled);
}

TEST_F(JoySelectionTest, DigitalInputPinsAndShowing)
{
    sel.Show(0, Defaults());
    sel.SelectInputType(DigitalEntry);
    // The side B list appears at once and the former pin is side A.
    EXPECT_TRUE(C().DigitalPinsShown);
    EXPECT_EQ(C().PinL, 1);
    EXPECT_FALSE(C().VoltageRangeEnabled);
    EXPECT_FALSE(C().RangeEnabled);
    sel.SelectPinL(3); // C2.04 (AI_3)
    sel.SelectPinH(4); // C2.05 (AI_4)
    JoyWorkingCopy w = sel.Collect();
    EXPECT_EQ(w.Type, 16);
    EXPECT_EQ(w.DigitalPins, 0x84);
    EXPECT_EQ(w.AnalogPin, 0);
    EXPECT_EQ(w.Id, CustomJoyId);

    sel.Show(0, w);
    EXPECT_EQ(C().InputType, DigitalEntry);
    EXPECT_EQ(C().PinL, 3);
    EXPECT_EQ(C().PinH, 4);
    EXPECT_EQ(C().VoltageRange, 0);
    EXPECT_FALSE(C().VoltageRangeEnabled);

    // The Digital entry brings its default pins; back to a joystick, side A
    // becomes the analog pin and the digital pins go.
    ASSERT_TRUE(sel.PickEntry(Pos(DigitalJoyId)));
    EXPECT_EQ(sel.Working().DigitalPins, 0x21);
    EXPECT_EQ(C().PinH, 2);
    EXPECT_EQ(sel.Collect().Id, DigitalJoyId);
    sel.SelectInputType(JoystickEntry);
    EXPECT_FALSE(C().DigitalPinsShown);
    w = sel.Collect();
    EXPECT_EQ(w.AnalogPin, 1);
    EXPECT_EQ(w.DigitalPins, 0);
    EXPECT_EQ(w.Type, 1);
}

TEST_F(JoySelectionTest, IncompatibleReferenceText)
{
    sel.Show(0, Defaults());
    sel.SelectPinL(2);
    sel.SelectVoltageRange(1);
    EXPECT_EQ(sel.CheckData(), "INPUT C2.03 (AI_2) IS NOT COMPATIBLE WITH VOLTAGE RANGE Vbb (battery supply)");
    sel.SelectPinL(1);
    EXPECT_EQ(sel.CheckData(), "INPUT C2.02 (AI_1) IS NOT COMPATIBLE WITH VOLTAGE RANGE Vbb (battery supply)");
    sel.SelectPinL(3);
    EXPECT_TRUE(sel.CheckData().empty());
    sel.SelectPinL(0);
    EXPECT_TRUE(sel.CheckData().empty());
    // A digital input has no reference to check.
    sel.SelectPinL(1);
    sel.SelectInputType(DigitalEntry);
    EXPECT_TRUE(sel.CheckData().empty());
}

TEST_F(JoySelectionTest, ShowingRulesForOddValues)
{
    // An identifier in no entry shows the not-used entry; inversion 170 is
    // entry 0; options and neutral wait reach the check boxes.
    JoyWorkingCopy w = Defaults();
    w.Id = 99;
    w.Inversion = 170;
    w.NeutralWait = 170;
    w.Options = 0x11;
    sel.Show(0, w);
    EXPECT_EQ(C().Detail.Position, Pos(255));
    EXPECT_EQ(C().Inversion, 0);
    EXPECT_TRUE(C().DeadManEnable);
    EXPECT_TRUE(C().NeutralOnlyTrigger);
    EXPECT_FALSE(C().NeutralNeed);
    sel.SetDeadManEnable(false);
    sel.SetNeutralNeed(true);
    sel.SelectInversion(1);
    JoyWorkingCopy out = sel.Collect();
    EXPECT_EQ(out.Options, 0x10);
    EXPECT_EQ(out.NeutralWait, 85);
    EXPECT_EQ(out.Inversion, 85);
    EXPECT_EQ(out.Id, 99); // the type stayed: the identifier too

    // A type with neither reference bit (4): a joystick on C2.02.
    w = Defaults();
    w.Type = 4;
    w.AnalogPin = 0;
    sel.Show(0, w);
    EXPECT_EQ(C().InputType, JoystickEntry);
    EXPECT_EQ(C().PinL, 1);
    EXPECT_EQ(sel.Working().AnalogPin, 1);

    // A range code outside the table leaves the list where the type put it,
    // and an analog pin code above 8 selects "Not Connected".
    w = Defaults();
    w.Range = 5;
    w.AnalogPin = 16;
    sel.Show(0, w);
    EXPECT_EQ(C().Range, 0);
    EXPECT_EQ(C().PinL, 0);
    EXPECT_EQ(sel.Collect().Range, 1);
}

TEST_F(JoySelectionTest, StoredParametersOfBothInputsAreChecked)
{
    IDData table;
    QFile f(QStringLiteral(QVS_SOURCE_DIR "/res/ini/Ramlist.ini"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_EQ(table.LoadCatalogueBytes(f.readAll()), "");
    EXPECT_EQ(StoredJoyCheckData(table), ""); // the defaults
    EXPECT_EQ(JoyParametersOf(table, 0).InStoreOrder(), Defaults().InStoreOrder());

    table.Record(Key::QVS_JOY_1_CONFIG)->DataS.QvsDisplayValueE2 = 2;
    table.Record(Key::QVS_JOY1_AN_INPUT)->DataS.QvsDisplayValueE2 = 2;
    EXPECT_EQ(StoredJoyCheckData(table),
              "INPUT C2.03 (AI_2) IS NOT COMPATIBLE WITH VOLTAGE RANGE Vbb (battery supply)");
    table.Record(Key::QVS_JOY_0_CONFIG)->DataS.QvsDisplayValueE2 = 2;
    EXPECT_EQ(StoredJoyCheckData(table), "INPUT C2.02 (AI_1) IS NOT COMPATIBLE WITH VOLTAGE RANGE Vbb (battery "
                                         "supply)\rINPUT C2.03 (AI_2) IS NOT COMPATIBLE WITH VOLTAGE RANGE Vbb "
                                         "(battery supply)");
    // A battery-referenced input on C2.04, an analog input without a chosen
    // reference, or a digital one: nothing to report.
    table.Record(Key::QVS_JOY0_AN_INPUT)->DataS.QvsDisplayValueE2 = 4;
    table.Record(Key::QVS_JOY_1_CONFIG)->DataS.QvsDisplayValueE2 = 15;
    EXPECT_EQ(StoredJoyCheckData(table), "");
    table.Record(Key::QVS_JOY_1_CONFIG)->DataS.QvsDisplayValueE2 = 16;
    EXPECT_EQ(StoredJoyCheckData(table), "");
}

} // namespace
