#include "controls/KxAdjuster.h"
#include "controls/RepeatTimer.h"
#include "controls/SpeedButton.h"
#include "support/ControlsFixture.h"

#include <QClipboard>
#include <QGuiApplication>
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

// A font small enough for the sizes of the class's layout.
QFont LayoutFont(QFont font) {
    font.setPixelSize(10);
    return font;
}

// Whether a field shows the whole of its text even with the cursor at the
// end: a text too wide for the field is scrolled left, so its start lies
// left of where a one-character text starts in a field of the same size.
bool ShowsWholeText(QLineEdit* edit) {
    const auto textLeft = [](QLineEdit* field) {
        field->end(false);
        field->grab(); // painting brings the scroll position up to date
        field->setCursorPosition(0);
        return field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    };
    QLineEdit probe(QStringLiteral("1"));
    probe.setFont(edit->font());
    probe.resize(edit->size());
    return textLeft(edit) == textLeft(&probe);
}

TEST_F(KxAdjusterTest, NewAdjusterHasItsDefaultsAndLayout) {
    Adj->setFont(LayoutFont(Adj->font()));
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
    Adj->SetBounds(4, 7, 150, 34);
    EXPECT_EQ(Adj->BtnDown()->x(), 150 - 16);
    EXPECT_EQ(Adj->LabelCaption()->width(), 150 - 16 - 1);
}

TEST_F(KxAdjusterTest, AtTheWindowsSizesCaptionAndEveryValueShowInFull) {
    const struct {
        const char* Caption;
        int Width;
    } windowAdjusters[] = {{"Width", 65}, {"Height", 62}};
    for (const auto& spec : windowAdjusters) {
        auto* adj = new TKxAdjuster(Window.get());
        adj->SetCaption(spec.Caption);
        adj->SetFormatString("%.2f");
        adj->SetUnitsString("%");
        adj->SetMax(100.0f);
        adj->SetBounds(4, 7, spec.Width, 34);
        EXPECT_EQ(adj->pos(), QPoint(4, 7));
        EXPECT_GE(adj->width(), spec.Width);
        EXPECT_GE(adj->height(), 34);
        EXPECT_EQ(adj->sizeHint(), adj->size());
        const QLabel* caption = adj->LabelCaption();
        EXPECT_LE(caption->fontMetrics().horizontalAdvance(spec.Caption), caption->width());
        EXPECT_LE(caption->fontMetrics().height(), caption->height());
        EXPECT_LE(adj->LabelUnits()->geometry().right(), adj->BtnDown()->x());
        for (float value : {100.0f, 57.2f, 0.0f}) {
            adj->SetValue(value);
            EXPECT_EQ(adj->EditValue()->cursorPosition(), 0); // the start shows
            EXPECT_TRUE(ShowsWholeText(adj->EditValue())) << spec.Caption << " " << value;
        }
    }
}

TEST_F(KxAdjusterTest, ALargerFontGrowsTheControlAndItsLayoutCannotShrinkIt) {
    Adj->SetCaption("Width");
    Adj->SetFormatString("%.2f");
    Adj->SetUnitsString("%");
    Adj->SetBounds(4, 7, 65, 34);
    const QFont normal = Adj->font();
    const QSize normalSize = Adj->size();
    QFont large = normal;
    large.setPointSize(16);
    Adj->setFont(large);
    const QSize grown = Adj->size();
    EXPECT_GT(grown.width(), normalSize.width());
    EXPECT_GT(grown.height(), normalSize.height());
    EXPECT_EQ(Adj->minimumSizeHint(), grown);
    Adj->SetValue(100.0f);
    EXPECT_TRUE(ShowsWholeText(Edit()));
    EXPECT_LE(Adj->LabelCaption()->geometry().bottom(), Edit()->y());
    EXPECT_LE(Adj->BtnDown()->geometry().bottom(), grown.height() - 1);
    EXPECT_GE(Adj->BtnUp()->y(), 0);

    Adj->SetBounds(4, 7, 65, 34); // the window's layout applied again
    EXPECT_EQ(Adj->size(), grown);
    Adj->resize(30, 20);
    EXPECT_EQ(Adj->size(), grown);
    Adj->setFont(normal); // back to the design size, as far as the font allows
    EXPECT_EQ(Adj->size(), normalSize);
}

TEST_F(KxAdjusterTest, EveryEditByTheUserWaitsForTheCommit) {
    QList<float> reported;
    Adj->SetOnValueChange([&](QObject*) { reported << Adj->Value(); });
    Adj->SetFormatString("%.2f");
    Adj->SetValue(50.0f);
    reported.clear();

    // Delete at the start of "50.00" must not send 0 while the user types on.
    Edit()->setCursorPosition(0);
    QTest::keyClick(Edit(), Qt::Key_Delete);
    EXPECT_EQ(Edit()->text(), "0.00");
    Type("3");
    EXPECT_TRUE(reported.isEmpty());
    Enter();
    EXPECT_EQ(reported, QList<float>{30.0f});

    // Cut and paste, with the clipboard's text not yet a whole number.
    Edit()->selectAll();
    QTest::keyClick(Edit(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Edit()->text(), "");
    QGuiApplication::clipboard()->setText("4");
    QTest::keyClick(Edit(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(Edit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Edit()->text(), "44");
    EXPECT_EQ(reported.size(), 1);
    EXPECT_EQ(Beeps, 0);
    EXPECT_EQ(Adj->Value(), 44.0f); // reading commits
    EXPECT_EQ(reported, (QList<float>{30.0f, 44.0f}));
    // The text a cut leaves is committed when the field is left.
    Edit()->selectAll();
    QTest::keyClick(Edit(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(reported.size(), 2);
    auto* other = new QLineEdit(Window.get());
    other->move(0, 100);
    ShowWindow();
    QApplication::setActiveWindow(Window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    Edit()->setFocus();
    other->setFocus();
    EXPECT_EQ(Edit()->text(), "44.00"); // no number: the old text again
    EXPECT_EQ(reported, (QList<float>{30.0f, 44.0f, 44.0f}));
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

TEST_F(KxAdjusterTest, AHoldNeverInheritsThePaceOfAnEarlierOne) {
    auto* first = new TKxAdjuster(Window.get());
    first->move(150, 0);
    for (TKxAdjuster* adj : {Adj, first}) {
        adj->SetIncrement(1.0f);
        adj->SetMax(1000.0f);
    }
    ShowWindow();
    TRepeatTimer* timer = TKxAdjuster::RepeatTimer();
    QTest::mousePress(first->BtnUp(), Qt::LeftButton);
    for (int tick = 0; tick < 7; ++tick)
        timer->Tick();
    ASSERT_EQ(first->Value(), 9.0f); // the seventh tick stepped by two
    delete first;                    // with its arrow still held

    QTest::mousePress(Adj->BtnUp(), Qt::LeftButton);
    timer->Tick();
    QTest::mouseRelease(Adj->BtnUp(), Qt::LeftButton);
    EXPECT_EQ(Adj->Value(), 2.0f);
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
