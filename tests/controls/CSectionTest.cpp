#include "controls/CSection.h"
#include "controls/RsvColor.h"
#include "controls/RsvError.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class CSectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        min.VarID = 7;
        min.QvsDisplayValueE2 = min.CedValueE2 = 500;
        min.TooltipDecription = "Minimum current";
        min.Unit = "min-unit";
        max.VarID = 8;
        max.QvsDisplayValueE2 = max.CedValueE2 = 1000;
        max.TooltipDecription = "Maximum current";
        max.Unit = "mA";

        section.SetRestoreQuestion([this](QWidget*, const QString& text) {
            questions << text;
            return answer;
        });
        QObject::connect(&section, &CSection::VarMinChange, [this] {
            ++minEvents;
            displayAtMinEvent = min.QvsDisplayValueE2;
        });
        QObject::connect(&section, &CSection::VarMaxChange, [this] { ++maxEvents; });
        section.show();
        QApplication::setActiveWindow(&section);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&section));
    }

    void Load()
    {
        section.setCaricaMin(min);
        section.setCaricaMax(max);
        minEvents = maxEvents = 0;
    }

    QLineEdit* Text(const char* name) { return section.findChild<QLineEdit*>(name); }
    QScrollBar* Spinner(const char* name) { return section.findChild<QScrollBar*>(name); }

    // Empties the box the way a user does and types the new text.
    void Retype(QLineEdit* box, const QString& text)
    {
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }

    CVarDataS min, max;
    CSection section;
    QStringList questions;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    int minEvents = 0, maxEvents = 0;
    int32_t displayAtMinEvent = 0;
};

TEST_F(CSectionTest, DesignStateBeforeLoad)
{
    EXPECT_EQ(section.SectionName(), "");
    EXPECT_EQ(section.findChild<QWidget*>("FrameSection")->property("Caption").toString(), "1A");
    EXPECT_EQ(Text("txtTMin")->text(), "500");
    EXPECT_EQ(Text("txtTMax")->text(), "1000");
    EXPECT_EQ(Text("txtTMax")->toolTip(), "QVS Value - IMax");
    EXPECT_EQ(section.findChild<QLabel*>("lblUnit_1")->text(), "mA");
    EXPECT_EQ(section.Min(), 100);
    EXPECT_EQ(section.Max(), 2000);
    EXPECT_EQ(section.size(), QSize(280, 53));
    EXPECT_EQ(Text("txtTMin")->geometry(), QRect(47, 14, 57, 24));
    EXPECT_EQ(section.CaricaMin(), nullptr);
    try {
        (void)section.VarMinID();
        FAIL() << "VarMinID without a record";
    } catch (const RsvControlError& e) {
        EXPECT_EQ(e.code(), RsvControlError::ObjectNotSet);
    }
    EXPECT_THROW((void)section.VarMaxID(), RsvControlError);

    section.setSectionName("2B");
    EXPECT_EQ(section.SectionName(), "2B");
    EXPECT_EQ(section.findChild<QWidget*>("FrameSection")->property("Caption").toString(), "2B");
}

TEST_F(CSectionTest, LoadingShowsAndCommitsInRangeValues)
{
    min.QvsDisplayValueE2 = 400;
    min.F_DisplayToDownload = "X*2";
    max.QvsDisplayValueE2 = 1200;
    section.setCaricaMin(min);
    EXPECT_EQ(minEvents, 1); // raised during the load
    EXPECT_EQ(displayAtMinEvent, 400);
    EXPECT_EQ(min.QvsDownloadValueE2, 800);
    EXPECT_EQ(Text("txtTMin")->text(), "400");
    EXPECT_EQ(Text("txtTMin")->toolTip(), "Minimum current");
    EXPECT_EQ(Spinner("hscTMin")->value(), 400);

    section.setCaricaMax(max);
    EXPECT_EQ(maxEvents, 1);
    EXPECT_EQ(max.QvsDownloadValueE2, 1200); // no formula: identity
    EXPECT_EQ(Spinner("hscTMax")->value(), 1200);
    EXPECT_EQ(section.findChild<QLabel*>("lblUnit_0")->text(), "mA"); // the maximum's unit
    EXPECT_EQ(section.findChild<QLabel*>("lblUnit_1")->text(), "mA");
    EXPECT_EQ(section.VarMinID(), 7);
    EXPECT_EQ(section.VarMaxID(), 8);
    EXPECT_EQ(section.CaricaMin(), &min);
    EXPECT_EQ(section.CaricaMax(), &max);
}

TEST_F(CSectionTest, LoadingTheShownTextAgainCommitsNothing)
{
    min.QvsDownloadValueE2 = 77; // the design text is already "500"
    section.setCaricaMin(min);
    EXPECT_EQ(minEvents, 0);
    EXPECT_EQ(min.QvsDownloadValueE2, 77);
    EXPECT_EQ(Spinner("hscTMin")->value(), 500);
}

TEST_F(CSectionTest, LoadingOutOfRangeValuesFails)
{
    min.QvsDisplayValueE2 = 50;
    try {
        section.setCaricaMin(min);
        FAIL() << "a value below the spinner range loads";
    } catch (const RsvControlError& e) {
        EXPECT_EQ(e.code(), RsvControlError::InvalidPropertyValue);
    }
    EXPECT_EQ(Text("txtTMin")->text(), "50"); // shown before the failure
    EXPECT_EQ(Text("txtTMin")->toolTip(), "Minimum current");
    EXPECT_EQ(minEvents, 0);

    max.QvsDisplayValueE2 = 40000;
    try {
        section.setCaricaMax(max);
        FAIL() << "a value beyond 16 bits loads";
    } catch (const RsvControlError& e) {
        EXPECT_EQ(e.code(), RsvControlError::Overflow);
    }
    EXPECT_EQ(section.findChild<QLabel*>("lblUnit_0")->text(), "mA"); // rest of the load skipped
}

TEST_F(CSectionTest, TypedValueCommitsThroughFormula)
{
    min.F_DisplayToDownload = "X*10/4";
    Load();
    Retype(Text("txtTMin"), "600");
    EXPECT_EQ(min.QvsDisplayValueE2, 600);
    EXPECT_EQ(min.QvsDownloadValueE2, 1500);
    EXPECT_EQ(minEvents, 1); // one commit per edit ("6" and "60" are below the range)
    EXPECT_EQ(displayAtMinEvent, 600);
    EXPECT_EQ(Spinner("hscTMin")->value(), 600);
    EXPECT_EQ(maxEvents, 0);

    Spinner("hscTMin")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Text("txtTMin")->text(), "601");
    EXPECT_EQ(min.QvsDownloadValueE2, 1502); // 1502.5, half to even
    EXPECT_EQ(minEvents, 2);

    Retype(Text("txtTMax"), "1800");
    EXPECT_EQ(max.QvsDisplayValueE2, 1800);
    EXPECT_EQ(max.QvsDownloadValueE2, 1800);
    EXPECT_EQ(maxEvents, 1);
}

TEST_F(CSectionTest, KeyFilterTakesDigitsPointAndBackspaceOnly)
{
    Load();
    QLineEdit* box = Text("txtTMax");
    box->setFocus();
    box->setCursorPosition(4);
    QTest::keyClicks(box, "a-, x");
    EXPECT_EQ(box->text(), "1000");
    Retype(box, "5");
    QTest::keyClick(box, '.');
    EXPECT_EQ(box->text(), "5."); // below the range: shown, not committed
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "5");
    EXPECT_EQ(max.QvsDisplayValueE2, 1000);
}

TEST_F(CSectionTest, EmptiedBoxBecomesSelectedZero)
{
    Load();
    QLineEdit* box = Text("txtTMin");
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "0");
    EXPECT_EQ(box->selectionStart(), 0);
    EXPECT_EQ(box->selectedText(), "0");
    EXPECT_EQ(minEvents, 0); // 0 is below the lower bound 100
    EXPECT_EQ(min.QvsDisplayValueE2, 500);
}

TEST_F(CSectionTest, EnterMovesMinimumBelowMaximum)
{
    min.F_DisplayToDownload = "X*2";
    Load();
    QLineEdit* box = Text("txtTMin");
    Retype(box, "1200");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->text(), "999");
    EXPECT_EQ(min.QvsDisplayValueE2, 999);
    EXPECT_EQ(min.CedValueE2, 1998); // confirmed in controller units
    EXPECT_TRUE(questions.isEmpty());

    QLineEdit* maxBox = Text("txtTMax");
    Retype(maxBox, "900");
    QTest::keyClick(maxBox, Qt::Key_Enter);
    EXPECT_EQ(maxBox->text(), "1000"); // minimum 999 + 1
    EXPECT_EQ(max.CedValueE2, 1000);
}

TEST_F(CSectionTest, LeavingOutOfRangeEntryOffersRestore)
{
    max.F_DownloadToDisplay = "X/2";
    max.CedValueE2 = 2000;
    Load();
    QLineEdit* box = Text("txtTMax");
    Retype(box, "50");
    EXPECT_EQ(maxEvents, 0);
    QTest::keyClick(box, Qt::Key_Tab); // leaves for hscTMin
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], "Value Not Correct : Restore With '1000' ?");
    EXPECT_EQ(box->text(), "1000");
    EXPECT_EQ(maxEvents, 1);
    EXPECT_EQ(max.QvsDisplayValueE2, 1000);
    EXPECT_EQ(max.CedValueE2, 1000); // the restored entry confirmed
    EXPECT_EQ(QApplication::focusWidget(), Spinner("hscTMin"));

    // Entering a valid value and leaving asks nothing.
    Retype(box, "1500");
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(max.CedValueE2, 1500);
}

TEST_F(CSectionTest, RefusedRestoreKeepsEntryButConfirmsNothing)
{
    answer = QMessageBox::No;
    Load();
    QLineEdit* box = Text("txtTMin");
    Retype(box, "50");
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], "Value Not Correct : Restore With '500' ?");
    EXPECT_EQ(box->text(), "50");
    EXPECT_EQ(min.CedValueE2, 500);
    EXPECT_EQ(min.QvsDisplayValueE2, 500);
    EXPECT_EQ(minEvents, 0);

    // Above the range and above the maximum: the entry is moved below it.
    Retype(box, "2500");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(box->text(), "999");
    EXPECT_EQ(min.CedValueE2, 999);
}

TEST_F(CSectionTest, UnreadableTextIsRefused)
{
    Load();
    QLineEdit* box = Text("txtTMin");
    Retype(box, "5.");
    QTest::keyClick(box, '.');
    EXPECT_EQ(box->text(), "5.");
    box->selectAll();
    box->insert("abc"); // what a paste does
    EXPECT_EQ(box->text(), "5.");
    Retype(box, "700");
    box->selectAll();
    box->insert("7e2");
    EXPECT_EQ(box->text(), "700");
    EXPECT_EQ(min.QvsDisplayValueE2, 700);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_EQ(min.CedValueE2, 700);
}

TEST_F(CSectionTest, SpinnersNeverCross)
{
    min.QvsDisplayValueE2 = 998;
    Load();
    QScrollBar* lo = Spinner("hscTMin");
    QScrollBar* hi = Spinner("hscTMax");
    lo->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(lo->value(), 999);
    EXPECT_EQ(Text("txtTMin")->text(), "999");
    EXPECT_EQ(min.QvsDisplayValueE2, 999);
    lo->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(lo->value(), 999); // snapped back to the text
    EXPECT_EQ(Text("txtTMin")->text(), "999");
    EXPECT_EQ(min.QvsDisplayValueE2, 999);

    hi->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(hi->value(), 1000); // the snap-back commits the text's value again
    EXPECT_EQ(max.QvsDisplayValueE2, 1000);
    EXPECT_EQ(maxEvents, 1);
    hi->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(hi->value(), 1001);
    EXPECT_EQ(Text("txtTMax")->text(), "1001");
    EXPECT_EQ(max.QvsDisplayValueE2, 1001);
    EXPECT_EQ(maxEvents, 2);
}

TEST_F(CSectionTest, RangeBounds)
{
    section.setMin(-5);
    EXPECT_EQ(section.Min(), 0);
    EXPECT_EQ(Spinner("hscTMax")->minimum(), 0);
    section.setMax(3000);
    EXPECT_EQ(section.Max(), 3000);
    EXPECT_EQ(Spinner("hscTMax")->maximum(), 3000);
    Load();
    Retype(Text("txtTMax"), "2500");
    EXPECT_EQ(max.QvsDisplayValueE2, 2500);
    Retype(Text("txtTMin"), "0");
    EXPECT_EQ(min.QvsDisplayValueE2, 0);
}

TEST_F(CSectionTest, NothingIsCommittedBeforeLoadOrWhenFormulaFails)
{
    Retype(Text("txtTMin"), "600");
    QTest::keyClick(Text("txtTMin"), Qt::Key_Return);
    Spinner("hscTMax")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(minEvents + maxEvents, 0);
    EXPECT_TRUE(questions.isEmpty());

    min.F_DisplayToDownload = "X/0";
    min.QvsDownloadValueE2 = 123;
    Load();
    Retype(Text("txtTMin"), "650");
    QTest::keyClick(Text("txtTMin"), Qt::Key_Return);
    EXPECT_EQ(minEvents, 0);
    EXPECT_EQ(min.QvsDisplayValueE2, 500);
    EXPECT_EQ(min.QvsDownloadValueE2, 123);
}

TEST_F(CSectionTest, ColoursAndTabOrder)
{
    section.setFontColor(0x0000FF);
    EXPECT_EQ(section.FontColor(), 0x0000FF);
    EXPECT_EQ(section.findChild<QWidget*>("FrameSection")->property("TextColor").value<QColor>(),
              QColor(Qt::red));
    EXPECT_EQ(section.findChild<QLabel*>("lblUnit_1")->palette().color(QPalette::WindowText),
              QColor(Qt::red));
    section.setBackColor(RsvSystemColor::ButtonFace);
    EXPECT_EQ(section.BackColor(), RsvSystemColor::ButtonFace);
    EXPECT_EQ(section.findChild<QWidget*>("FrameSection")->property("BackColor").value<QColor>(),
              QApplication::palette().color(QPalette::Button));

    Load();
    Spinner("hscTMax")->setFocus(Qt::TabFocusReason);
    const char* order[] = {"txtTMin", "txtTMax", "hscTMin"};
    for (const char* name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), name);
    }
}

} // namespace

namespace {

// The real question box: asked once although showing it takes the focus from
// the text box, with its text, icon and Yes/No answers.
TEST(CSectionQuestionBox, AskedOnceAndAnsweredYes)
{
    CVarDataS min, max;
    min.QvsDisplayValueE2 = min.CedValueE2 = 500;
    max.QvsDisplayValueE2 = max.CedValueE2 = 1000;
    CSection section;
    section.show();
    QApplication::setActiveWindow(&section);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&section));
    section.setCaricaMin(min);
    section.setCaricaMax(max);

    QStringList seen;
    QTimer answerer;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) {
            seen << box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Information);
            EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            box->button(QMessageBox::Yes)->click();
        } else if (clock.elapsed() > 5000 && QApplication::activeModalWidget()) {
            QApplication::activeModalWidget()->close();
        }
    });
    answerer.start(10);

    auto* box = section.findChild<QLineEdit*>("txtTMin");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "3000");
    QTest::keyClick(box, Qt::Key_Return);
    answerer.stop();
    EXPECT_EQ(seen, QStringList{"Value Not Correct : Restore With '500' ?"});
    EXPECT_EQ(box->text(), "500");
}

} // namespace
