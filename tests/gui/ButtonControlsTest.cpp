#include "controls/Glyphs.h"
#include "controls/KxDropBtn.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "controls/RepeatTimer.h"
#include "support/ControlsFixture.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

#include <stdexcept>

namespace {

// ---- up/down ---------------------------------------------------------------

class KxUpDownTest : public ControlsFixture {
protected:
    void SetUp() override {
        ControlsFixture::SetUp();
        UpDown = new TKxUpDown(Window.get());
        UpDown->SetOnUpClick([this](QObject* sender) { Senders << sender; });
        UpDown->SetOnDownClick([this](QObject* sender) { Senders << sender; });
    }

    TKxUpDown* UpDown = nullptr;
    QList<QObject*> Senders;
};

TEST_F(KxUpDownTest, ColumnIsOneArrowWideAndSplitsItsHeight) {
    EXPECT_EQ(UpDown->size(), QSize(16, 32));
    EXPECT_EQ(UpDown->BtnUp()->geometry(), QRect(0, 0, 16, 16));
    EXPECT_EQ(UpDown->BtnDown()->geometry(), QRect(0, 16, 16, 16));
    UpDown->SetBounds(0, 0, 14, 51);
    EXPECT_EQ(UpDown->sizeHint(), QSize(14, 51));
    EXPECT_EQ(UpDown->BtnUp()->geometry(), QRect(0, 0, 14, 25));
    EXPECT_EQ(UpDown->BtnDown()->geometry(), QRect(0, 25, 14, 25));
}

TEST_F(KxUpDownTest, AShortClickRaisesOneEventWithTheArrowAsSender) {
    ShowWindow();
    QTest::mouseClick(UpDown->BtnUp(), Qt::LeftButton);
    QTest::mouseClick(UpDown->BtnDown(), Qt::LeftButton);
    ASSERT_EQ(Senders.size(), 2);
    EXPECT_EQ(Senders[0], UpDown->BtnUp());
    EXPECT_EQ(Senders[1], UpDown->BtnDown());
}

TEST_F(KxUpDownTest, AHeldArrowRepeatsAtAConstantRatePlusOneOnRelease) {
    ShowWindow();
    TRepeatTimer* timer = TKxUpDown::RepeatTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Interval(), 300);
    QTest::mousePress(UpDown->BtnDown(), Qt::LeftButton);
    EXPECT_TRUE(Senders.isEmpty()); // nothing at the press itself
    for (int i = 0; i < 3; ++i)     // held for 1 s: ticks at 0.3, 0.6, 0.9 s
        timer->Tick();
    QTest::mouseRelease(UpDown->BtnDown(), Qt::LeftButton);
    EXPECT_FALSE(timer->Enabled());
    ASSERT_EQ(Senders.size(), 4);
    for (QObject* sender : Senders)
        EXPECT_EQ(sender, UpDown->BtnDown());
}

TEST_F(KxUpDownTest, RightButtonStartsNothingButReleaseStops) {
    ShowWindow();
    TRepeatTimer* timer = TKxUpDown::RepeatTimer();
    QTest::mousePress(UpDown->BtnUp(), Qt::RightButton);
    EXPECT_FALSE(timer->Enabled());
    QTest::mouseRelease(UpDown->BtnUp(), Qt::RightButton);
    EXPECT_TRUE(Senders.isEmpty());
    QTest::mousePress(UpDown->BtnUp(), Qt::LeftButton);
    EXPECT_TRUE(timer->Enabled());
    QTest::mouseRelease(UpDown->BtnDown(), Qt::RightButton);
    EXPECT_FALSE(timer->Enabled());
    QTest::mouseRelease(UpDown->BtnUp(), Qt::LeftButton);
}

TEST_F(KxUpDownTest, SharedTimerOutlivesAllButTheLastControl) {
    auto* second = new TKxUpDown(Window.get());
    second->move(50, 0);
    QList<QObject*> secondSenders;
    second->SetOnUpClick([&](QObject* sender) { secondSenders << sender; });
    EXPECT_EQ(TKxUpDown::InstanceCount(), 2);
    ShowWindow();
    TRepeatTimer* timer = TKxUpDown::RepeatTimer();

    // Destroying the control being repeated stops the timer.
    QTest::mousePress(UpDown->BtnUp(), Qt::LeftButton);
    delete UpDown;
    EXPECT_FALSE(timer->Enabled());
    timer->Tick();
    EXPECT_TRUE(Senders.isEmpty());

    // The other control still repeats.
    EXPECT_EQ(TKxUpDown::RepeatTimer(), timer);
    QTest::mousePress(second->BtnUp(), Qt::LeftButton);
    timer->Tick();
    QTest::mouseRelease(second->BtnUp(), Qt::LeftButton);
    EXPECT_EQ(secondSenders.size(), 2);

    delete second;
    EXPECT_EQ(TKxUpDown::InstanceCount(), 0);
    EXPECT_EQ(TKxUpDown::RepeatTimer(), nullptr);
}

TEST_F(KxUpDownTest, AFailingHandlerIsShownAndStopsTheRepetition) {
    UpDown->SetOnUpClick([](QObject*) { throw std::runtime_error("Value out of range"); });
    ShowWindow();
    QTest::mousePress(UpDown->BtnUp(), Qt::LeftButton);
    TKxUpDown::RepeatTimer()->Tick();
    EXPECT_FALSE(TKxUpDown::RepeatTimer()->Enabled());
    TKxUpDown::RepeatTimer()->Tick();
    EXPECT_EQ(Errors, QStringList{"Value out of range"});
    QTest::mouseRelease(UpDown->BtnUp(), Qt::LeftButton);
}

TEST_F(KxUpDownTest, DisablingAHeldArrowStopsTheRepetition) {
    // A disabled arrow never gets the release that would stop the timer
    // (the tool bars are disabled when the laser is lost, perhaps while an
    // arrow is held): the clicks must not go on by themselves.
    ShowWindow();
    QTest::mousePress(UpDown->BtnUp(), Qt::LeftButton);
    UpDown->SetEnabled(false);
    QTest::mouseRelease(UpDown->BtnUp(), Qt::LeftButton);
    EXPECT_FALSE(TKxUpDown::RepeatTimer()->Enabled());
    TKxUpDown::RepeatTimer()->Tick();
    EXPECT_TRUE(Senders.isEmpty());
    // Disabling another control leaves a running repetition alone.
    auto* other = new TKxUpDown(Window.get());
    UpDown->SetEnabled(true);
    QTest::mousePress(UpDown->BtnUp(), Qt::LeftButton);
    other->SetEnabled(false);
    EXPECT_TRUE(TKxUpDown::RepeatTimer()->Enabled());
    // Disabling or hiding what holds the control does the same.
    Window->setEnabled(false);
    EXPECT_FALSE(TKxUpDown::RepeatTimer()->Enabled());
    Window->setEnabled(true);
    QTest::mousePress(UpDown->BtnDown(), Qt::LeftButton);
    Window->hide();
    EXPECT_FALSE(TKxUpDown::RepeatTimer()->Enabled());
}

TEST_F(KxUpDownTest, DisablingReachesBothArrowsOnly) {
    UpDown->SetEnabled(false);
    EXPECT_FALSE(UpDown->Enabled());
    EXPECT_TRUE(UpDown->isEnabled());
    EXPECT_FALSE(UpDown->BtnUp()->isEnabled());
    EXPECT_FALSE(UpDown->BtnDown()->isEnabled());
}

// ---- drop button -------------------------------------------------------------

class KxDropBtnTest : public ControlsFixture {
protected:
    void SetUp() override {
        ControlsFixture::SetUp();
        Drop = new TKxDropBtn(Window.get());
    }

    TKxDropBtn* Drop = nullptr;
};

TEST_F(KxDropBtnTest, ArrowSitsAtTheRightEdgeAtFullHeight) {
    EXPECT_EQ(Drop->size(), QSize(105, 32));
    EXPECT_EQ(Drop->BtnMain()->geometry(), QRect(0, 0, 93, 32));
    EXPECT_EQ(Drop->BtnDown()->geometry(), QRect(93, 0, 12, 32));
    Drop->SetBounds(0, 0, 72, 50);
    EXPECT_EQ(Drop->BtnMain()->geometry(), QRect(0, 0, 60, 50));
    EXPECT_EQ(Drop->BtnDown()->geometry(), QRect(60, 0, 12, 50));
    EXPECT_EQ(Drop->BtnDown()->GroupIndex(), 1961);
    EXPECT_EQ(Drop->GroupIndex(), 1);
    EXPECT_EQ(Drop->NumGlyphs(), 2);
}

TEST_F(KxDropBtnTest, PropertiesForwardToTheInnerButtons) {
    Drop->SetFlat(false);
    EXPECT_FALSE(Drop->BtnMain()->Flat());
    EXPECT_FALSE(Drop->BtnDown()->Flat());
    EXPECT_FALSE(Drop->Flat());

    Drop->SetCaption("Continuous");
    EXPECT_EQ(Drop->BtnMain()->Caption(), "Continuous");
    Drop->SetDropHint("Select firing mode from list");
    EXPECT_EQ(Drop->BtnDown()->toolTip(), "Select firing mode from list");
    EXPECT_EQ(Drop->DropHint(), "Select firing mode from list");

    const QIcon downGlyph = Drop->BtnDown()->Glyph();
    Drop->SetGlyph(LoadGlyph("INDBUT_ON"));
    Drop->SetLayout(TButtonLayout::blGlyphBottom);
    Drop->SetGroupIndex(0);
    Drop->SetAllowAllUp(false);
    EXPECT_EQ(Drop->BtnMain()->Glyph().name(), "INDBUT_ON");
    EXPECT_EQ(Drop->BtnMain()->Layout(), TButtonLayout::blGlyphBottom);
    EXPECT_EQ(Drop->BtnMain()->GroupIndex(), 0);
    EXPECT_FALSE(Drop->BtnMain()->AllowAllUp());
    // The arrow keeps its own settings.
    EXPECT_EQ(Drop->BtnDown()->Glyph().name(), downGlyph.name());
    EXPECT_EQ(Drop->BtnDown()->Layout(), TButtonLayout::blGlyphLeft);
    EXPECT_EQ(Drop->BtnDown()->GroupIndex(), 1961);
    EXPECT_TRUE(Drop->BtnDown()->AllowAllUp());

    Drop->SetGroupIndex(1);
    Drop->SetAllowAllUp(true);
    Drop->SetDown(true);
    EXPECT_TRUE(Drop->BtnMain()->Down());
    EXPECT_FALSE(Drop->BtnDown()->Down());
}

TEST_F(KxDropBtnTest, NumGlyphsOutsideOneToFourIsARangeError) {
    EXPECT_THROW(Drop->SetNumGlyphs(0), std::out_of_range);
    EXPECT_THROW(Drop->SetNumGlyphs(5), std::out_of_range);
    EXPECT_EQ(Drop->NumGlyphs(), 2);
    for (int n = 1; n <= 4; ++n) {
        Drop->SetNumGlyphs(n);
        EXPECT_EQ(Drop->BtnMain()->NumGlyphs(), n);
    }
}

TEST_F(KxDropBtnTest, MainButtonEventsCarryTheMainButton) {
    QList<QObject*> clicks;
    QObject* pressSender = nullptr;
    Qt::MouseButton pressButton = Qt::NoButton;
    QPoint pressAt;
    Drop->SetOnClick([&](QObject* sender) { clicks << sender; });
    Drop->SetOnMouseDown(
        [&](QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
            pressSender = sender;
            pressButton = button;
            pressAt = QPoint(x, y);
        });
    ShowWindow();
    QTest::mouseClick(Drop->BtnMain(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks.front(), Drop->BtnMain());
    EXPECT_EQ(pressSender, Drop->BtnMain());
    EXPECT_EQ(pressButton, Qt::LeftButton);
    EXPECT_EQ(pressAt, QPoint(5, 7));
    // Group 1 with all-up allowed: each click toggles the latch.
    EXPECT_TRUE(Drop->Down());
    QTest::mouseClick(Drop->BtnMain(), Qt::LeftButton);
    EXPECT_FALSE(Drop->Down());
    // Every mouse button reports its press; only the left one clicks.
    QTest::mouseClick(Drop->BtnMain(), Qt::RightButton);
    EXPECT_EQ(pressButton, Qt::RightButton);
    EXPECT_EQ(clicks.size(), 2);
}

TEST_F(KxDropBtnTest, ArrowWithoutMenuDoesNotLatch) {
    ShowWindow();
    QTest::mouseClick(Drop->BtnDown(), Qt::LeftButton);
    EXPECT_FALSE(Drop->BtnDown()->Down());
    QTest::mouseClick(Drop->BtnDown(), Qt::LeftButton);
    EXPECT_FALSE(Drop->BtnDown()->Down());
}

TEST_F(KxDropBtnTest, ArrowDropsTheMenuBelowItself) {
    QMenu menu;
    menu.addAction("Continuous");
    menu.addAction("Single shot");
    Drop->SetDropDownMenu(&menu);
    Drop->move(20, 30);
    ShowWindow();
    const QPoint expected = Drop->mapToGlobal(QPoint(Drop->BtnDown()->x(), Drop->height()));
    bool shown = false, latched = false;
    QPoint shownAt;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activePopupWidget() == &menu;
        shownAt = menu.pos();
        latched = Drop->BtnDown()->Down();
        menu.close();
    });
    QTest::mouseClick(Drop->BtnDown(), Qt::LeftButton);
    EXPECT_TRUE(shown);
    EXPECT_EQ(shownAt, expected);
    EXPECT_TRUE(latched);
    EXPECT_FALSE(Drop->BtnDown()->Down());
}

TEST_F(KxDropBtnTest, DisablingTurnsOffTheContextMenu) {
    QMenu props;
    Drop->SetPopupMenu(&props);
    Drop->SetEnabled(false);
    EXPECT_FALSE(MenuAutoPopup(&props));
    EXPECT_FALSE(Drop->BtnMain()->isEnabled());
    EXPECT_FALSE(Drop->BtnDown()->isEnabled());
    EXPECT_TRUE(Drop->isEnabled());
    ShowWindow();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            Drop->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(Drop, &event);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    Drop->SetEnabled(true);
    EXPECT_TRUE(MenuAutoPopup(&props));
    QApplication::sendEvent(Drop, &event);
    EXPECT_EQ(QApplication::activePopupWidget(), &props);
    props.close();
}

TEST_F(KxDropBtnTest, GlyphFromImagesReplacesTheGlyph) {
    const QList<QIcon> images{LoadGlyph("INDBUT_OFF"), LoadGlyph("INDBUT_ON")};
    Drop->SetGlyphFromImages(images, 1, QSize(16, 16));
    EXPECT_EQ(Drop->Glyph().name(), "INDBUT_ON");
    EXPECT_EQ(Drop->BtnMain()->GlyphSize(), QSize(16, 16));
    Drop->SetGlyphFromImages(images, 2, QSize(16, 16));
    EXPECT_TRUE(Drop->Glyph().isNull());
}

// ---- speed buttons -------------------------------------------------------------

class SpeedButtonTest : public ControlsFixture {};

TEST_F(SpeedButtonTest, GroupedButtonsLatchExclusively) {
    auto* a = new TSpeedButton(Window.get());
    auto* b = new TSpeedButton(Window.get());
    b->move(40, 0);
    a->SetGroupIndex(3);
    b->SetGroupIndex(3);
    ShowWindow();
    QTest::mouseClick(a, Qt::LeftButton);
    EXPECT_TRUE(a->Down());
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    // Without AllowAllUp the latched button cannot be released.
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(b->Down());
    b->SetDown(false);
    EXPECT_TRUE(b->Down());
    // AllowAllUp is shared by the group.
    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp());
    b->SetDown(false);
    EXPECT_FALSE(b->Down());
}

TEST_F(SpeedButtonTest, UngroupedButtonNeverStaysDown) {
    auto* button = new TSpeedButton(Window.get());
    button->SetDown(true);
    EXPECT_FALSE(button->Down());
    int clicks = 0;
    button->SetOnClick([&](QObject* sender) {
        EXPECT_EQ(sender, button);
        ++clicks;
    });
    ShowWindow();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(button->Down());
    button->Click();
    EXPECT_EQ(clicks, 2);
}

TEST_F(SpeedButtonTest, KxSpeedButtonShowsItsOwnContextMenu) {
    auto* button = new TKxSpeedButton(Window.get());
    QMenu menu;
    menu.addAction("Properties");
    ShowWindow();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                            button->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(button, &event);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    button->SetPopupMenu(&menu);
    QApplication::sendEvent(button, &event);
    EXPECT_EQ(QApplication::activePopupWidget(), &menu);
    menu.close();
}

} // namespace
