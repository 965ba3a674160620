#include "controls/KxAdjuster.h"
#include "controls/RepeatTimer.h"
#include "controls/SpeedButton.h"
#include "support/ControlsFixture.h"

#include <QLabel>
#include <QLineEdit>

#include <cmath>
#include <stdexcept>

namespace {

class KxAdjusterTest : public ControlsFixture {
protected:
    void SetUp() override {
        ControlsFixture::SetUp();
        Adj = new TKxAdjuster(Window.get());
        Adj->SetOnValueChange([this](QObject* sender) {
            ++Changes;
            LastSender = sender;
        });
    }

    QLineEdit* Edit() const { return Adj->EditValue(); }

    void Type(const char* text) { QTest::keyClicks(Edit(), QString::fromLatin1(text)); }

    void ClearAndType(const char* text) {
        Edit()->selectAll();
        Type(text);
    }

    void Enter() { QTest::keyClick(Edit(), Qt::Key_Return); }

    TKxAdjuster* Adj = nullptr;
    int Changes = 0;
    QObject* LastSender = nullptr;
};

TEST_F(KxAdjusterTest, NewAdjusterHasItsDefaultsAndLayout) {
    EXPECT_EQ(Edit()->text(), "0.00");
    EXPECT_EQ(Adj->FormatString(), "%5.2f");
    EXPECT_EQ(Adj->Min(), 0.0f);
    EXPECT_EQ(Adj->Max(), 100.0f);
    EXPECT_EQ(Adj->Increment(), 10.0f);
    EXPECT_TRUE(Adj->Caption().isEmpty());
    EXPECT_EQ(Adj->LabelCaption()->text(), "Caption");
    EXPECT_EQ(Adj->UnitsString(), " ");
    EXPECT_TRUE(Adj->Enabled());

    // Width: the down arrow's right edge plus one; the children follow it.
    EXPECT_EQ(Adj->size(), QSize(105, 34));
    EXPECT_EQ(Adj->sizeHint(), QSize(105, 34)); // what a tool bar keeps it at
    EXPECT_EQ(Adj->BtnDown()->geometry(), QRect(89, 18, 16, 16));
    EXPECT_EQ(Adj->BtnUp()->geometry(), QRect(89, 2, 16, 16));
    EXPECT_EQ(Adj->LabelCaption()->width(), 88);
    const int units = Adj->LabelUnits()->width();
    EXPECT_EQ(Edit()->geometry(), QRect(0, 13, 88 - units - 2, 21));
    EXPECT_EQ(Adj->LabelUnits()->x(), Edit()->width() + 1);
}

TEST_F(KxAdjusterTest, WritingZeroToANewAdjusterChangesNothing) {
    Adj->SetValue(0.0f);
    EXPECT_EQ(Edit()->text(), "0.00");
    EXPECT_EQ(Changes, 0);
    // The default format shows zero five wide once it is applied.
    Adj->SetFormatString("%5.2f");
    EXPECT_EQ(Edit()->text(), " 0.00");
    EXPECT_EQ(Changes, 1);
    Adj->SetFormatString("%5.2f");
    EXPECT_EQ(Changes, 1);
}

TEST_F(KxAdjusterTest, InRangeWritesNotifyOnlyOnChangeWithTheAdjusterAsSender) {
    Adj->SetValue(42.5f);
    EXPECT_EQ(Edit()->text(), "42.50");
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(LastSender, Adj);
    Adj->SetValue(42.5f);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Adj->Value(), 42.5f);
}

TEST_F(KxAdjusterTest, ClampedWritesAlwaysNotify) {
    Adj->SetValue(150.0f);
    EXPECT_EQ(Adj->Value(), 100.0f);
    EXPECT_EQ(Edit()->text(), "100.00");
    EXPECT_EQ(Changes, 1);
    Adj->SetValue(150.0f); // value and text unchanged, still a notification
    EXPECT_EQ(Changes, 2);
    Adj->SetValue(100.0f); // in range and unchanged: silent
    EXPECT_EQ(Changes, 2);
    Adj->SetValue(-3.0f);
    Adj->SetValue(-3.0f);
    EXPECT_EQ(Adj->Value(), 0.0f);
    EXPECT_EQ(Changes, 4);
    Adj->SetValue(std::nanf(""));
    EXPECT_EQ(Adj->Value(), 0.0f);
    EXPECT_EQ(Changes, 5);
}

TEST_F(KxAdjusterTest, ChangingTheRangeDoesNotReclampUntilTheNextWrite) {
    Adj->SetValue(50.0f);
    Adj->SetMax(10.0f);
    EXPECT_EQ(Adj->Value(), 50.0f);
    Adj->SetValue(50.0f);
    EXPECT_EQ(Adj->Value(), 10.0f);
}

TEST_F(KxAdjusterTest, RetypingTheCurrentValueKeepsTheTextAsTyped) {
    Adj->SetFormatString("%.2f");
    Adj->SetValue(5.0f);
    const int before = Changes;
    ClearAndType("5");
    Enter();
    EXPECT_EQ(Edit()->text(), "5");
    EXPECT_EQ(Changes, before);
    EXPECT_EQ(Adj->Value(), 5.0f);
}

TEST_F(KxAdjusterTest, TypingANewValueReformatsAndNotifiesOnce) {
    Adj->SetFormatString("%.2f");
    Adj->SetValue(5.0f);
    const int before = Changes;
    ClearAndType("7");
    EXPECT_EQ(Changes, before); // keystrokes do not notify
    Enter();
    EXPECT_EQ(Edit()->text(), "7.00");
    EXPECT_EQ(Changes, before + 1);
    EXPECT_EQ(Adj->Value(), 7.0f);
}

TEST_F(KxAdjusterTest, TypedValuesOutsideTheRangeClamp) {
    ClearAndType("1e50");
    Enter();
    EXPECT_EQ(Adj->Value(), 100.0f);
    ClearAndType("-7");
    Enter();
    EXPECT_EQ(Adj->Value(), 0.0f);
    EXPECT_EQ(Changes, 2);
}

TEST_F(KxAdjusterTest, ReadingValueTakesOverTypedText) {
    ClearAndType("42");
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Adj->Value(), 42.0f);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Edit()->text(), "42.00");
}

TEST_F(KxAdjusterTest, RefusedKeysBeepAndLeaveTheText) {
    Adj->SetFormatString("%.2f");
    ClearAndType("1.5");
    EXPECT_EQ(Edit()->text(), "1.5");
    Type("x.Z"); // a letter, a second separator, another letter
    EXPECT_EQ(Edit()->text(), "1.5");
    EXPECT_EQ(Beeps, 3);
    Type("e");
    Type("E"); // a second exponent mark, whatever its case
    EXPECT_EQ(Edit()->text(), "1.5e");
    EXPECT_EQ(Beeps, 4);
    Type("+2");
    QTest::keyClick(Edit(), Qt::Key_Backspace); // control characters pass
    EXPECT_EQ(Edit()->text(), "1.5e+");
    EXPECT_EQ(Beeps, 4);
}

TEST_F(KxAdjusterTest, TextThatIsNoNumberRestoresTheOldTextAndNotifies) {
    Adj->SetFormatString("%.2f");
    Adj->SetValue(3.0f);
    const int before = Changes;
    ClearAndType("1e");
    EXPECT_EQ(Beeps, 0);
    Enter();
    EXPECT_EQ(Edit()->text(), "3.00");
    EXPECT_EQ(Adj->Value(), 3.0f);
    EXPECT_EQ(Changes, before + 1);
}

TEST_F(KxAdjusterTest, AKeystrokeThatChangesNothingDoesNotSilenceALaterWrite) {
    Edit()->clear(); // a change made outside the keyboard notifies
    EXPECT_EQ(Changes, 1);
    // Keystrokes that leave the text as it is: backspace in an empty field,
    // copy, Esc. The value written next must still be reported, or the
    // laser would never get the value the field shows.
    QTest::keyClick(Edit(), Qt::Key_Backspace);
    Adj->SetValue(20.0f);
    EXPECT_EQ(Changes, 2);
    QTest::keyClick(Edit(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(Edit(), Qt::Key_Escape);
    Adj->SetValue(30.0f);
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(Edit()->text(), "30.00");
}

TEST_F(KxAdjusterTest, LeavingTheFieldCommits) {
    auto* other = new QLineEdit(Window.get());
    other->move(0, 100);
    ShowWindow();
    QApplication::setActiveWindow(Window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    Edit()->setFocus();
    ClearAndType("12");
    other->setFocus();
    EXPECT_EQ(Edit()->text(), "12.00");
    EXPECT_EQ(Changes, 1);
}

TEST_F(KxAdjusterTest, HeldArrowAcceleratesNineThenEleven) {
    Adj->SetIncrement(1.0f);
    Adj->SetMax(1000.0f);
    ShowWindow();
    TRepeatTimer* timer = TKxAdjuster::RepeatTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Interval(), 300);

    QTest::mousePress(Adj->BtnUp(), Qt::LeftButton);
    EXPECT_EQ(Adj->Value(), 1.0f); // one step at once
    EXPECT_TRUE(timer->Enabled());
    const float expected[] = {2, 3, 4, 5, 6, 7, 9, 11, 13};
    for (float value : expected) {
        timer->Tick();
        EXPECT_EQ(Adj->Value(), value);
    }
    QTest::mouseRelease(Adj->BtnUp(), Qt::LeftButton);
    EXPECT_FALSE(timer->Enabled());
    timer->Tick();
    EXPECT_EQ(Adj->Value(), 13.0f);
    EXPECT_EQ(Changes, 10);

    // The next hold starts slowly again.
    QTest::mousePress(Adj->BtnDown(), Qt::LeftButton);
    timer->Tick();
    QTest::mouseRelease(Adj->BtnDown(), Qt::LeftButton);
    EXPECT_EQ(Adj->Value(), 11.0f);
}

TEST_F(KxAdjusterTest, ArrowAtTheLimitKeepsNotifying) {
    Adj->SetValue(95.0f);
    ShowWindow();
    const int before = Changes;
    QTest::mousePress(Adj->BtnUp(), Qt::LeftButton);
    TKxAdjuster::RepeatTimer()->Tick();
    TKxAdjuster::RepeatTimer()->Tick();
    QTest::mouseRelease(Adj->BtnUp(), Qt::LeftButton);
    EXPECT_EQ(Adj->Value(), 100.0f);
    EXPECT_EQ(Changes, before + 3);
}

TEST_F(KxAdjusterTest, RightButtonDoesNotStepAndReleaseStopsRepeating) {
    ShowWindow();
    QTest::mousePress(Adj->BtnUp(), Qt::RightButton);
    EXPECT_EQ(Adj->Value(), 0.0f);
    EXPECT_FALSE(TKxAdjuster::RepeatTimer()->Enabled());
    QTest::mouseRelease(Adj->BtnUp(), Qt::RightButton);
    QTest::mousePress(Adj->BtnUp(), Qt::LeftButton);
    EXPECT_TRUE(TKxAdjuster::RepeatTimer()->Enabled());
    QTest::mouseRelease(Adj->BtnDown(), Qt::RightButton);
    EXPECT_FALSE(TKxAdjuster::RepeatTimer()->Enabled());
    QTest::mouseRelease(Adj->BtnUp(), Qt::LeftButton);
}

TEST_F(KxAdjusterTest, ReadOnlyStopsTypingButNotTheArrows) {
    Adj->SetReadOnly(true);
    EXPECT_TRUE(Edit()->isReadOnly());
    ShowWindow();
    Type("7");
    EXPECT_EQ(Edit()->text(), "0.00");
    // The refused-by-the-field keystroke does not swallow the arrow's change.
    QTest::mouseClick(Adj->BtnUp(), Qt::LeftButton);
    EXPECT_EQ(Adj->Value(), 10.0f);
    EXPECT_EQ(Changes, 1);
}

TEST_F(KxAdjusterTest, ArrowStepsTheStoredValueAndDropsTypedText) {
    ShowWindow();
    ClearAndType("42");
    QTest::mouseClick(Adj->BtnUp(), Qt::LeftButton);
    EXPECT_EQ(Edit()->text(), "10.00");
    EXPECT_EQ(Adj->Value(), 10.0f);
}

TEST_F(KxAdjusterTest, DisablingWhileAnArrowIsHeldStopsTheRepetition) {
    ShowWindow();
    QTest::mousePress(Adj->BtnUp(), Qt::LeftButton);
    Adj->SetEnabled(false); // the release will not reach the disabled arrow
    QTest::mouseRelease(Adj->BtnUp(), Qt::LeftButton);
    EXPECT_FALSE(TKxAdjuster::RepeatTimer()->Enabled());
    TKxAdjuster::RepeatTimer()->Tick();
    EXPECT_EQ(Adj->Value(), 10.0f);
    // The next hold starts with single steps again.
    Adj->SetEnabled(true);
    QTest::mousePress(Adj->BtnUp(), Qt::LeftButton);
    TKxAdjuster::RepeatTimer()->Tick();
    QTest::mouseRelease(Adj->BtnUp(), Qt::LeftButton);
    EXPECT_EQ(Adj->Value(), 30.0f);
}

TEST_F(KxAdjusterTest, DisablingReachesTheInnerControlsOnly) {
    Adj->SetEnabled(false);
    EXPECT_FALSE(Adj->Enabled());
    EXPECT_TRUE(Adj->isEnabled());
    EXPECT_FALSE(Edit()->isEnabled());
    EXPECT_FALSE(Adj->BtnUp()->isEnabled());
    EXPECT_FALSE(Adj->BtnDown()->isEnabled());
    EXPECT_FALSE(Adj->LabelCaption()->isEnabled());
    EXPECT_FALSE(Adj->LabelUnits()->isEnabled());
    Adj->SetEnabled(true);
    EXPECT_TRUE(Edit()->isEnabled());
}

TEST_F(KxAdjusterTest, UnitsAndCaptionRelayOut) {
    Adj->SetCaption("Width");
    EXPECT_EQ(Adj->LabelCaption()->text(), "Width");
    const int editWidth = Edit()->width();
    Adj->SetUnitsString("mm/s");
    EXPECT_EQ(Adj->UnitsString(), "mm/s");
    EXPECT_LT(Edit()->width(), editWidth);
    EXPECT_EQ(Adj->LabelUnits()->x(), Edit()->width() + 1);
    Adj->SetBounds(4, 7, 65, 34);
    EXPECT_EQ(Adj->BtnDown()->x(), 65 - 16);
    EXPECT_EQ(Adj->LabelCaption()->width(), 65 - 16 - 1);
}

TEST_F(KxAdjusterTest, ErrorsOfTheChangeHandlerGoToTheDisplay) {
    Adj->SetOnValueChange([](QObject*) { throw std::runtime_error("Oops, invalid value"); });
    ShowWindow();
    QTest::mousePress(Adj->BtnUp(), Qt::LeftButton);
    QTest::mouseRelease(Adj->BtnUp(), Qt::LeftButton);
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors.front(), "Oops, invalid value");
    EXPECT_FALSE(TKxAdjuster::RepeatTimer()->Enabled());
    // A program write passes the error on to the writer.
    EXPECT_THROW(Adj->SetValue(50.0f), std::runtime_error);
}

TEST_F(KxAdjusterTest, OneSharedTimerFollowsTheLastPressedAdjuster) {
    auto* second = new TKxAdjuster(Window.get());
    second->move(150, 0);
    EXPECT_EQ(TKxAdjuster::InstanceCount(), 2);
    ShowWindow();
    TRepeatTimer* timer = TKxAdjuster::RepeatTimer();
    QTest::mousePress(second->BtnUp(), Qt::LeftButton);
    timer->Tick();
    EXPECT_EQ(second->Value(), 20.0f);
    EXPECT_EQ(Adj->Value(), 0.0f);

    // Destroying the adjuster being repeated stops the timer; the other one
    // keeps the timer.
    delete second;
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(TKxAdjuster::RepeatTimer(), timer);
    timer->Tick();
    EXPECT_EQ(Adj->Value(), 0.0f);

    delete Adj;
    EXPECT_EQ(TKxAdjuster::InstanceCount(), 0);
    EXPECT_EQ(TKxAdjuster::RepeatTimer(), nullptr);
}

} // namespace
