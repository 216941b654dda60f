#include "controls/JoyMonitor.h"
#include "controls/RsvError.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

class JoyMonitorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        record.VarID = 42;
        record.MonitorName = "IMeasure 1A";
        record.TooltipDecription = "Measured current";
        record.Unit = "mA";
        record.MonitorEnable = true;
        QObject::connect(&monitor, &JoyMonitor::UpdateValue,
                         [this](int16_t& v) { values.push_back(v); });
        QObject::connect(&monitor, &JoyMonitor::CheckEnabled,
                         [this](int16_t& v) { states.push_back(v); });
    }

    QString Caption() { return monitor.findChild<QLabel*>("lblInputValue")->text(); }
    int Bar() { return monitor.findChild<QProgressBar*>("ProgressBar")->value(); }
    QCheckBox* Box() { return monitor.findChild<QCheckBox*>("ChkInputEnable"); }

    void Configure(int16_t min, int16_t max, int16_t thMin, int16_t thMax, const char* format)
    {
        monitor.setMin(min);
        monitor.setMax(max);
        monitor.setThMin(thMin);
        monitor.setThMax(thMax);
        monitor.setDataFormat(QString::fromLatin1(format));
    }

    CVarDataS record;
    JoyMonitor monitor;
    std::vector<int16_t> values, states;
};

TEST_F(JoyMonitorTest, DefaultsAndLimits)
{
    EXPECT_EQ(monitor.Max(), 32000);
    EXPECT_EQ(monitor.Min(), 0);
    EXPECT_EQ(monitor.ThMax(), 0);
    EXPECT_EQ(monitor.ThMin(), 0);
    EXPECT_EQ(monitor.DataFormat(), "##,##0.0");
    EXPECT_TRUE(monitor.MonitorEnable());
    EXPECT_TRUE(monitor.ActiveProgressBar());
    EXPECT_EQ(Caption(), "00.00");
    EXPECT_EQ(monitor.size(), QSize(199, 47));
    EXPECT_FALSE(monitor.findChild<QWidget*>("ShpChkInputEnable")->isVisibleTo(&monitor));

    monitor.setThMax(800);
    EXPECT_EQ(monitor.ThMax(), 500);
    monitor.setMax(32767);
    EXPECT_EQ(monitor.Max(), 32000);
    EXPECT_EQ(monitor.findChild<QProgressBar*>("ProgressBar")->maximum(), 32000);
    monitor.setThMin(-20);
    EXPECT_EQ(monitor.ThMin(), -20);
    monitor.setActiveProgressBar(false);
    EXPECT_FALSE(monitor.ActiveProgressBar());
    EXPECT_THROW((void)monitor.VarID(), RsvControlError);
}

TEST_F(JoyMonitorTest, CaricaShowsRecord)
{
    Configure(0, 2000, 0, 0, "###0");
    record.QvsDisplayValueRAM = 812.4;
    monitor.setCarica(record);
    auto* name = monitor.findChild<QLabel*>("lblInputName");
    EXPECT_EQ(name->text(), "IMeasure 1A");
    EXPECT_EQ(name->toolTip(), "Measured current");
    EXPECT_EQ(monitor.findChild<QLabel*>("lblInputUnit")->text(), "mA");
    EXPECT_EQ(Caption(), "812");
    EXPECT_EQ(Bar(), 812);
    EXPECT_EQ(values, std::vector<int16_t>{812});
    EXPECT_EQ(monitor.VarID(), 42);
    EXPECT_EQ(monitor.Carica(), &record);
}

TEST_F(JoyMonitorTest, ClampingBands)
{
    Configure(0, 100, 0, 0, "####0");
    monitor.setCarica(record);
    values.clear();
    monitor.UpdateDisplay(150);
    EXPECT_EQ(Caption(), "100");
    EXPECT_EQ(Bar(), 100);
    monitor.UpdateDisplay(-3);
    EXPECT_EQ(Caption(), "0");
    EXPECT_EQ(Bar(), 0);
    EXPECT_EQ(values, (std::vector<int16_t>{100, 0}));

    // The current monitor of the monitor page.
    Configure(0, 1500, 50, 50, "###0");
    values.clear();
    monitor.UpdateDisplay(30);
    EXPECT_EQ(Caption(), "0");
    monitor.UpdateDisplay(1530);
    EXPECT_EQ(Caption(), "1530");
    EXPECT_EQ(Bar(), 1500);
    monitor.UpdateDisplay(1551);
    EXPECT_EQ(Caption(), "1500");
    monitor.UpdateDisplay(60.5);
    EXPECT_EQ(Caption(), "61"); // half away from zero
    EXPECT_EQ(values, (std::vector<int16_t>{0, 1530, 1500, 61}));

    // Extreme limits: the bands do not overflow.
    Configure(-32768, 32000, -1, 500, "####0");
    monitor.UpdateDisplay(-40000);
    EXPECT_EQ(Caption(), "-32768");
}

TEST_F(JoyMonitorTest, ValueReadsTheCaption)
{
    Configure(0, 100, 0, 0, "0.0");
    monitor.setCarica(record);
    monitor.UpdateDisplay(12.5);
    EXPECT_EQ(Caption(), "12.5");
    EXPECT_EQ(monitor.Value(), 12); // half to even
    monitor.UpdateDisplay(13.5);
    EXPECT_EQ(monitor.Value(), 14);
    EXPECT_EQ(values.back(), 14);

    Configure(0, 32000, 0, 0, "##,##0.0");
    monitor.UpdateDisplay(1500);
    EXPECT_EQ(Caption(), "1,500.0");
    EXPECT_EQ(monitor.Value(), 1500);
    EXPECT_EQ(values.back(), 1500);
}

TEST_F(JoyMonitorTest, BitFieldShowsOnOff)
{
    record.F_DownloadToDisplay = "X&4";
    monitor.setMax(1);
    monitor.setCarica(record);
    values.clear();
    monitor.UpdateDisplay(1);
    EXPECT_EQ(Caption(), "ON");
    EXPECT_EQ(Bar(), 1); // 100, held within the bar's range
    try {
        (void)monitor.Value();
        FAIL() << "Value of ON";
    } catch (const RsvControlError& e) {
        EXPECT_EQ(e.code(), RsvControlError::TypeMismatch);
    }
    monitor.UpdateDisplay(0);
    EXPECT_EQ(Caption(), "OFF");
    EXPECT_EQ(Bar(), 0);
    EXPECT_TRUE(values.empty());
}

TEST_F(JoyMonitorTest, UncheckedBoxStopsTheDisplay)
{
    Configure(0, 1000, 0, 0, "###0");
    monitor.show();
    monitor.setCarica(record);
    monitor.UpdateDisplay(700);
    values.clear();

    QTest::mouseClick(Box(), Qt::LeftButton);
    EXPECT_FALSE(monitor.MonitorEnable());
    EXPECT_FALSE(record.MonitorEnable);
    EXPECT_EQ(Caption(), "0");
    EXPECT_EQ(Bar(), 0);
    EXPECT_EQ(states, std::vector<int16_t>{0});

    monitor.UpdateDisplay(300);
    EXPECT_EQ(Caption(), "0");
    EXPECT_EQ(Bar(), 0);
    EXPECT_TRUE(values.empty());

    monitor.setMonitorEnable(true);
    EXPECT_TRUE(record.MonitorEnable);
    EXPECT_EQ(states, (std::vector<int16_t>{0, 1}));
    monitor.setMonitorEnable(true); // no change, no event
    EXPECT_EQ(states.size(), 2u);
    monitor.UpdateDisplay(300);
    EXPECT_EQ(Caption(), "300");
}

TEST_F(JoyMonitorTest, BoxBeforeLoadTouchesNoRecord)
{
    monitor.setMonitorEnable(false);
    monitor.setMonitorEnable(true);
    EXPECT_EQ(states, (std::vector<int16_t>{0, 1}));
    monitor.UpdateDisplay(5);
    EXPECT_EQ(Caption(), "5.0");
}

TEST_F(JoyMonitorTest, FocusMarkFollowsTheBox)
{
    QWidget host;
    auto* mon = new JoyMonitor(&host);
    auto* other = new QCheckBox(&host);
    other->move(0, 60);
    host.show();
    QApplication::setActiveWindow(&host);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    QWidget* mark = mon->findChild<QWidget*>("ShpChkInputEnable");
    mon->findChild<QCheckBox*>("ChkInputEnable")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(mark->isVisible());
    other->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(mark->isVisible());
}

TEST_F(JoyMonitorTest, Colours)
{
    monitor.setForeColor(0x00FF00);
    EXPECT_EQ(monitor.ForeColor(), 0x00FF00);
    for (const char* name : {"lblInputName", "lblInputValue", "lblInputUnit"})
        EXPECT_EQ(monitor.findChild<QLabel*>(name)->palette().color(QPalette::WindowText),
                  QColor(0, 255, 0))
            << name;
    EXPECT_EQ(monitor.findChild<QWidget*>("ShpChkInputEnable")->property("BorderColor").value<QColor>(),
              QColor(0, 255, 0));
    monitor.setBackColor(0xFFFFFF);
    EXPECT_EQ(monitor.BackColor(), 0xFFFFFF);
    EXPECT_EQ(monitor.findChild<QWidget*>("FrmeInput")->property("BackColor").value<QColor>(),
              QColor(Qt::white));
    EXPECT_EQ(Box()->palette().color(QPalette::Window), QColor(Qt::white));
}

} // namespace
