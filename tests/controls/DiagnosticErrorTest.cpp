#include "controls/DiagnosticError.h"
#include "controls/RsvColor.h"
#include "controls/RsvError.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Report = std::pair<int16_t, int32_t>;

class DiagnosticErrorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        record.VarID = 61;
        record.MonitorName = "Coil errors";
        QObject::connect(&control, &DiagnosticError::UpdateErrorMessage,
                         [this](int16_t& v, int32_t& mask) { reports.emplace_back(v, mask); });
    }

    // Which lamps show `colour`, as a bit mask.
    int Lamps(const QColor& colour)
    {
        int mask = 0;
        for (int b = 0; b < 8; ++b) {
            auto* lamp = control.findChild<QWidget*>(QStringLiteral("shpBit_%1").arg(b));
            if (lamp->property("FillColor").value<QColor>() == colour)
                mask |= 1 << b;
        }
        return mask;
    }

    const QColor red = QColor(255, 0, 0);
    const QColor clear = RsvColorFromOle(RsvSystemColor::WindowBackground);
    const QColor off = RsvColorFromOle(RsvSystemColor::ButtonFace);
    CVarDataS record;
    DiagnosticError control;
    std::vector<Report> reports;
};

TEST_F(DiagnosticErrorTest, LampsAndChangeMasks)
{
    control.setCarica(record);
    control.UpdateDisplay(0x0000);
    EXPECT_TRUE(reports.empty()); // equal to the initial last value
    control.UpdateDisplay(0x0005);
    EXPECT_EQ(Lamps(red), 0x05);
    EXPECT_EQ(Lamps(clear), 0xFA);
    control.UpdateDisplay(0x0004);
    EXPECT_EQ(Lamps(red), 0x04);
    control.UpdateDisplay(0x0004);
    EXPECT_EQ(reports, (std::vector<Report>{{5, 5}, {4, 1}}));

    // Bits above the low byte change the word without lighting a lamp.
    control.UpdateDisplay(0x0104);
    EXPECT_EQ(Lamps(red), 0x04);
    EXPECT_EQ(reports.back(), (Report{0x104, 0x100}));
}

TEST_F(DiagnosticErrorTest, LongVarUsesHighByte)
{
    control.setLongVar(true);
    EXPECT_TRUE(control.LongVar());
    int32_t word = 0x0300;
    control.UpdateDisplay(word);
    EXPECT_EQ(word, 3); // the caller's variable receives the shown value
    EXPECT_EQ(Lamps(red), 0x03);
    EXPECT_EQ(reports, (std::vector<Report>{{3, 3}}));
}

TEST_F(DiagnosticErrorTest, WordAbove32767ReportsLow16BitsSigned)
{
    control.UpdateDisplay(0x8001);
    EXPECT_EQ(Lamps(red), 0x01);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, int16_t(-32767));
    EXPECT_EQ(reports[0].second, 0x8001);
    control.UpdateDisplay(0x0001); // last value was updated
    EXPECT_EQ(reports.back(), (Report{1, 0x8000}));
}

TEST_F(DiagnosticErrorTest, SwitchingOffReportsAllBitsCleared)
{
    control.show();
    control.UpdateDisplay(0x0002);
    reports.clear();

    auto* box = control.findChild<QCheckBox*>("ChkEnable");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    EXPECT_FALSE(control.Enable());
    EXPECT_EQ(reports, (std::vector<Report>{{0, 255}}));
    EXPECT_EQ(Lamps(off), 0xFF);
    EXPECT_FALSE(control.findChild<QWidget*>("FrameDiagnostic")->isEnabled());

    control.UpdateDisplay(0x00FF); // ignored while off
    EXPECT_EQ(Lamps(off), 0xFF);
    EXPECT_EQ(reports.size(), 1u);

    control.setEnable(true);
    EXPECT_TRUE(control.Enable());
    EXPECT_EQ(Lamps(clear), 0xFF);
    EXPECT_EQ(reports.size(), 1u); // no event for switching on
    control.UpdateDisplay(0x0002); // compared with 0
    EXPECT_EQ(reports.back(), (Report{2, 2}));

    // Switching off with no bit set still reports all eight cleared.
    control.UpdateDisplay(0);
    reports.clear();
    control.setEnable(false);
    EXPECT_EQ(reports, (std::vector<Report>{{0, 255}}));
}

TEST_F(DiagnosticErrorTest, RecordTextsAndIds)
{
    EXPECT_EQ(control.findChild<QWidget*>("FrameDiagnostic")->property("Caption").toString(),
              "Title");
    EXPECT_EQ(control.findChild<QLabel*>("lblErrorBit_7")->text(), "------");
    EXPECT_THROW((void)control.VarID(), RsvControlError);
    control.setCarica(record);
    EXPECT_EQ(control.VarID(), 61);
    EXPECT_EQ(control.findChild<QWidget*>("FrameDiagnostic")->property("Caption").toString(),
              "Coil errors");
    control.SetDecripion(3, "Short circuit 1B");
    EXPECT_EQ(control.findChild<QLabel*>("lblErrorBit_3")->text(), "Short circuit 1B");
    try {
        control.SetDecripion(8, "none");
        FAIL() << "bit 8 has a label";
    } catch (const RsvControlError& e) {
        EXPECT_EQ(e.code(), RsvControlError::ElementDoesNotExist);
    }
    EXPECT_THROW(control.SetDecripion(-1, "none"), RsvControlError);
    control.setMsgID(12);
    EXPECT_EQ(control.MsgID(), 12);
    // Layout: bit 0 at the top, 16 px per row inside the frame.
    EXPECT_EQ(control.findChild<QWidget*>("shpBit_0")->geometry(), QRect(4, 14, 9, 17));
    EXPECT_EQ(control.findChild<QWidget*>("shpBit_7")->geometry().top(), 14 + 7 * 16);
}

} // namespace
