// The rich tooltip of one control.
#include "GuiTestSupport.h"

#include "gui/shell/clsTooltips.h"

#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include <memory>

namespace {

class TooltipsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApp();
        window = std::make_unique<QWidget>();
        window->setGeometry(100, 100, 300, 200);
        control = new QPushButton(QStringLiteral("Joystick"), window.get());
        control->setGeometry(50, 40, 120, 60);
        window->show();
        QCoreApplication::processEvents();
    }
    // The mouse rests on the control.
    void Rest()
    {
        const QPoint local(10, 10);
        QHelpEvent e(QEvent::ToolTip, local, control->mapToGlobal(local));
        QCoreApplication::sendEvent(control, &e);
    }
    void Leave()
    {
        QEvent e(QEvent::Leave);
        QCoreApplication::sendEvent(control, &e);
    }
    static bool ShowsIcon(const clsTooltips& t)
    {
        return t.IconLabel() && !t.IconLabel()->isHidden() && !t.IconLabel()->pixmap().isNull();
    }

    std::unique_ptr<QWidget> window;
    QPushButton* control = nullptr;
    clsTooltips tips; // goes before the window it shows on
};

TEST_F(TooltipsTest, StandardTipsShowOnlyTheWarningAndErrorIcons)
{
    tips.CreateTip(control, "text", "Title", clsTooltips::InfoIcon);
    EXPECT_EQ(tips.Style(), clsTooltips::StandardStyle);
    EXPECT_EQ(tips.Icon(), clsTooltips::NoIcon);
    EXPECT_FALSE(ShowsIcon(tips));
    tips.CreateTip(control, "text", "Title", 4);
    EXPECT_EQ(tips.Icon(), clsTooltips::NoIcon);
    tips.CreateTip(control, "text", "Title", clsTooltips::WarningIcon);
    EXPECT_EQ(tips.Icon(), clsTooltips::WarningIcon);
    EXPECT_TRUE(ShowsIcon(tips));
    tips.CreateTip(control, "text", "Title", clsTooltips::ErrorIcon);
    EXPECT_EQ(tips.Icon(), clsTooltips::ErrorIcon);

    tips.CreateBalloon(control, "text", "Title", clsTooltips::InfoIcon);
    EXPECT_EQ(tips.Style(), clsTooltips::BalloonStyle);
    EXPECT_EQ(tips.Icon(), clsTooltips::InfoIcon);
    EXPECT_TRUE(ShowsIcon(tips));
    EXPECT_TRUE(tips.TitleLabel()->font().bold());
    EXPECT_EQ(tips.TitleLabel()->text(), "Title");
    // No title: neither title line nor icon.
    tips.CreateBalloon(control, "text", QString(), clsTooltips::InfoIcon);
    EXPECT_FALSE(ShowsIcon(tips));
    EXPECT_TRUE(tips.TitleLabel()->isHidden());
}

TEST_F(TooltipsTest, TheTipShowsWhileTheMouseRestsAndTakesTheControlsPlace)
{
    control->setToolTip(QStringLiteral("plain"));
    ASSERT_TRUE(tips.CreateBalloon(control, "Line one\r\nLine two", "Joystick", clsTooltips::InfoIcon));
    EXPECT_TRUE(tips.Active());
    EXPECT_EQ(tips.ParentControl(), control);
    Rest();
    EXPECT_TRUE(tips.TipShown());
    EXPECT_FALSE(QToolTip::isVisible());
    EXPECT_EQ(tips.TextLabel()->text(), "Line one\nLine two");
    const int lineHeight = tips.TextLabel()->fontMetrics().height();
    EXPECT_GE(tips.TextLabel()->sizeHint().height(), 2 * lineHeight);
    // A balloon hangs below the point it shows.
    EXPECT_GE(tips.hWnd()->y(), control->mapToGlobal(QPoint(10, 10)).y());
    Leave();
    EXPECT_FALSE(tips.TipShown());

    tips.SetActive(false);
    Rest();
    EXPECT_FALSE(tips.TipShown());
}

TEST_F(TooltipsTest, PropertiesRecreateTheTipAndKeepActive)
{
    tips.CreateTip(control, "a", "T", 0);
    tips.SetActive(false);
    tips.SetTipText("b\rc");
    EXPECT_NE(tips.hWnd(), nullptr);
    EXPECT_FALSE(tips.Active());
    EXPECT_EQ(tips.TextLabel()->text(), "b\nc");

    const QColor systemText = QToolTip::palette().color(QPalette::ToolTipText);
    tips.SetForeColor(0);
    EXPECT_EQ(tips.TextLabel()->palette().color(QPalette::WindowText), systemText);
    tips.SetForeColor(0x0000FF); // red
    EXPECT_EQ(tips.TextLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    tips.SetBackColor(0xFF0000); // blue
    EXPECT_EQ(tips.hWnd()->palette().color(QPalette::Window), QColor(0, 0, 255));
    tips.SetBackColor(0);
    EXPECT_EQ(tips.hWnd()->palette().color(QPalette::Window), QToolTip::palette().color(QPalette::ToolTipBase));
    tips.SetTitle("New");
    EXPECT_EQ(tips.TitleLabel()->text(), "New");
    tips.SetStyle(clsTooltips::BalloonStyle);
    EXPECT_EQ(tips.Style(), clsTooltips::BalloonStyle);

    // Centred: in the middle under the control.
    tips.SetCentered(true);
    tips.SetActive(true);
    Rest();
    ASSERT_TRUE(tips.TipShown());
    const int middle = control->mapToGlobal(QPoint(control->width() / 2, 0)).x();
    EXPECT_NEAR(tips.hWnd()->geometry().center().x(), middle, 2);
    EXPECT_GE(tips.hWnd()->y(), control->mapToGlobal(QPoint(0, control->height())).y());
}

TEST_F(TooltipsTest, RemoveThenActiveShowsNothingUntilTheTipIsCreatedAgain)
{
    tips.CreateTip(control, "text", "T", 2);
    ASSERT_NE(tips.hWnd(), nullptr);
    EXPECT_FALSE(tips.Remove());
    EXPECT_EQ(tips.hWnd(), nullptr);
    tips.SetActive(true);
    Rest();
    EXPECT_FALSE(tips.TipShown());
    EXPECT_EQ(tips.hWnd(), nullptr);

    tips.SetTipText("again");
    ASSERT_NE(tips.hWnd(), nullptr);
    Rest();
    EXPECT_TRUE(tips.TipShown());
}

TEST_F(TooltipsTest, WithoutAControlThereIsNoTipAndADeletedControlTakesItsTipAlong)
{
    EXPECT_FALSE(tips.CreateTip(nullptr, "text", "T", 0));
    EXPECT_EQ(tips.hWnd(), nullptr);
    tips.CreateTip(control, "text", "T", 0);
    delete control;
    control = nullptr;
    EXPECT_EQ(tips.ParentControl(), nullptr);
    EXPECT_EQ(tips.hWnd(), nullptr);
}

} // namespace
