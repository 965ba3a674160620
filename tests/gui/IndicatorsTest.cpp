#include "controls/Glyphs.h"
#include "controls/KxAdjuster.h"
#include "controls/KxEnabler.h"
#include "controls/KxIndButton.h"
#include "controls/KxIndicator.h"
#include "controls/Switch.h"
#include "support/ControlsFixture.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

class IndicatorsTest : public ControlsFixture {};

QColor FaceColour(QWidget* widget) {
    // Inside the two-pixel lowered bevel, clear of the centred caption.
    return widget->grab().toImage().pixelColor(3, 3);
}

TEST_F(IndicatorsTest, NewIndicatorIsDarkGreyThoughItsOnColourIsGreen) {
    TKxIndicator ind;
    ind.resize(32, 19);
    EXPECT_FALSE(ind.Enabled());
    EXPECT_EQ(ind.OnColor(), clLime);
    EXPECT_EQ(ind.OffColor(), clGray);
    EXPECT_EQ(ind.Color(), clGray);
    EXPECT_EQ(FaceColour(&ind), ToQColor(clGray));
}

TEST_F(IndicatorsTest, EnabledLightsTheLampWithoutGreyingIt) {
    TKxIndicator ind;
    ind.resize(32, 19);
    ind.SetCaption("Flow");
    ind.SetOnColor(clRed);
    ind.SetEnabled(true);
    EXPECT_EQ(ind.Color(), clRed);
    EXPECT_EQ(FaceColour(&ind), QColor(255, 0, 0));
    EXPECT_TRUE(ind.isEnabled());
    ind.SetEnabled(false);
    EXPECT_EQ(ind.Color(), clGray);
    EXPECT_TRUE(ind.isEnabled());
}

TEST_F(IndicatorsTest, ColourWritesShowOnlyInTheMatchingState) {
    TKxIndicator ind;
    ind.SetOnColor(clYellow); // dark: no visible change
    EXPECT_EQ(ind.Color(), clGray);
    ind.SetOffColor(0x202020); // dark: shows at once
    EXPECT_EQ(ind.Color(), TColor(0x202020));
    ind.SetEnabled(true);
    EXPECT_EQ(ind.Color(), clYellow);
    EXPECT_EQ(FaceColour(&ind), QColor(255, 255, 0));
    ind.SetOffColor(clGray); // lit: no visible change
    EXPECT_EQ(ind.Color(), clYellow);
}

TEST_F(IndicatorsTest, ColoursAreLaidOutBlueGreenRed) {
    EXPECT_EQ(ToQColor(0x00FFFF), QColor(255, 255, 0));
    EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(FromQColor(QColor(0x56, 0x34, 0x12)), TColor(0x123456));
}

TEST_F(IndicatorsTest, IndicatorClickCarriesTheIndicator) {
    auto* ind = new TKxIndicator(Window.get());
    ind->resize(32, 19);
    QObject* sender = nullptr;
    ind->SetOnClick([&](QObject* s) { sender = s; });
    ShowWindow();
    QTest::mouseClick(ind, Qt::LeftButton);
    EXPECT_EQ(sender, ind);
}

TEST_F(IndicatorsTest, CaptionsFitInsideTheBevelAtTheWindowsSizesAndLargerFonts) {
    const struct {
        const char* Caption;
        int Width;
    } lamps[] = {{"Start", 32}, {"Flow", 32},       {"Temp", 32},       {"Ext", 32},
                 {"Work", 32},  {"Burst Lock", 66}, {"Coolant Low", 67}};
    // The face lies inside a two-pixel lowered bevel.
    const auto fits = [](const TKxIndicator& ind) {
        const QFontMetrics metrics = ind.fontMetrics();
        return metrics.horizontalAdvance(ind.Caption()) <= ind.width() - 4 &&
               metrics.height() <= ind.height() - 4;
    };
    for (const auto& lamp : lamps) {
        TKxIndicator ind;
        ind.SetCaption(lamp.Caption);
        ind.resize(lamp.Width, 19);
        EXPECT_GE(ind.width(), lamp.Width);
        EXPECT_TRUE(fits(ind)) << lamp.Caption;
        EXPECT_EQ(ind.sizeHint(), ind.minimumSize());
    }

    TKxIndicator ind;
    ind.SetCaption("Coolant Low");
    ind.resize(67, 19);
    const QSize normal = ind.size();
    QFont large = ind.font();
    large.setPointSize(16);
    ind.setFont(large);
    EXPECT_GT(ind.width(), normal.width());
    EXPECT_GT(ind.height(), normal.height());
    EXPECT_TRUE(fits(ind));
    ind.resize(67, 19);
    EXPECT_TRUE(fits(ind));
}

TEST_F(IndicatorsTest, LedButtonLoadsItsPictureOnlyWhenWritten) {
    TKxIndButton own;
    EXPECT_EQ(own.NumGlyphs(), 2);
    EXPECT_FALSE(own.LedOn());
    EXPECT_TRUE(own.Glyph().isNull());
    own.SetGlyph(LoadGlyph("ARROW_UP"));
    EXPECT_EQ(own.Glyph().name(), "ARROW_UP");
    own.SetLedOn(false); // replaces the button's own glyph
    EXPECT_EQ(own.Glyph().name(), "INDBUT_OFF");
    own.SetLedOn(true);
    EXPECT_EQ(own.Glyph().name(), "INDBUT_ON");
}

TEST_F(IndicatorsTest, PicturesScaleCrisplyAndUnknownNamesFail) {
    const QIcon led = LoadGlyph("INDBUT_ON");
    const QPixmap small = led.pixmap(QSize(10, 10));
    const QPixmap large = led.pixmap(QSize(10, 10), 3.0);
    EXPECT_EQ(small.size(), QSize(10, 10));
    EXPECT_EQ(large.size(), QSize(30, 30)); // drawn at device resolution
    EXPECT_EQ(large.devicePixelRatio(), 3.0);
    // The lit LED's centre is green, the dark one's much darker.
    const QColor lit = large.toImage().pixelColor(15, 17);
    const QColor dark =
        LoadGlyph("INDBUT_OFF").pixmap(QSize(10, 10), 3.0).toImage().pixelColor(15, 17);
    EXPECT_GT(lit.green(), 150);
    EXPECT_LT(dark.green(), lit.green() - 50);
    EXPECT_THROW(LoadGlyph("NO_SUCH_PICTURE"), std::runtime_error);
}

// ---- enabler -------------------------------------------------------------------

class KxEnablerTest : public ControlsFixture {
protected:
    void SetUp() override {
        ControlsFixture::SetUp();
        Bar = new QWidget(Window.get());
        Lamp1 = new TKxIndicator(Bar);
        Lamp2 = new TKxIndicator(Bar);
        Button = new QPushButton("Fire", Bar);
        Adjuster = new TKxAdjuster(Bar);
        auto* group = new QWidget(Bar);
        Grandchild = new TKxIndicator(group);
        Enabler.SetParent(Bar);
    }

    QWidget* Bar = nullptr;
    TKxIndicator* Lamp1 = nullptr;
    TKxIndicator* Lamp2 = nullptr;
    QPushButton* Button = nullptr;
    TKxAdjuster* Adjuster = nullptr;
    TKxIndicator* Grandchild = nullptr;
    TKxEnabler Enabler;
};

TEST_F(KxEnablerTest, DrivesTheContainerAndItsDirectChildrenByTheirOwnRules) {
    EXPECT_TRUE(Enabler.RelativesEnabled());
    Enabler.SetRelativesEnabled(true);
    EXPECT_TRUE(Lamp1->Enabled());
    EXPECT_TRUE(Lamp2->Enabled());
    EXPECT_EQ(Lamp1->Color(), clLime);
    EXPECT_FALSE(Grandchild->Enabled()); // grandchildren are not visited

    Enabler.SetRelativesEnabled(false);
    EXPECT_FALSE(Bar->isEnabled());
    EXPECT_FALSE(Lamp1->Enabled());
    EXPECT_EQ(Lamp2->Color(), clGray);
    EXPECT_FALSE(Button->isEnabled());
    EXPECT_FALSE(Adjuster->Enabled());
    EXPECT_FALSE(Adjuster->EditValue()->isEnabled());

    Enabler.SetRelativesEnabled(true);
    EXPECT_TRUE(Bar->isEnabled());
    EXPECT_TRUE(Button->isEnabled());
    EXPECT_TRUE(Adjuster->EditValue()->isEnabled());
}

TEST_F(KxEnablerTest, WithoutAContainerOnlyTheFlagChanges) {
    TKxEnabler lone;
    lone.SetRelativesEnabled(false);
    EXPECT_FALSE(lone.RelativesEnabled());
    Enabler.SetParent(nullptr);
    Enabler.SetRelativesEnabled(false);
    EXPECT_TRUE(Bar->isEnabled());
    EXPECT_TRUE(Button->isEnabled());
}

TEST_F(KxEnablerTest, ForgetsAContainerThatIsDestroyed) {
    delete Bar;
    EXPECT_EQ(Enabler.Parent(), nullptr);
    Enabler.SetRelativesEnabled(false);
    EXPECT_FALSE(Enabler.RelativesEnabled());
}

// ---- two-state switch ---------------------------------------------------------------

class SwitchTest : public ControlsFixture {
protected:
    void SetUp() override {
        ControlsFixture::SetUp();
        Switch = new TSwitch(Window.get());
        Switch->SetOnChange(
            [this](QObject*) { Log << (Switch->On() ? "change:on" : "change:off"); });
        Switch->SetOnClick([this](QObject* sender) {
            EXPECT_EQ(sender, Switch);
            Log << (Switch->On() ? "click:on" : "click:off");
        });
    }

    TSwitch* Switch = nullptr;
    QStringList Log;
};

TEST_F(SwitchTest, StateFlipsOnPressBeforeTheClick) {
    ShowWindow();
    QTest::mousePress(Switch, Qt::LeftButton);
    EXPECT_TRUE(Switch->On());
    EXPECT_EQ(Log, QStringList{"change:on"});
    QTest::mouseRelease(Switch, Qt::LeftButton);
    EXPECT_EQ(Log, (QStringList{"change:on", "click:on"}));
    QTest::mouseClick(Switch, Qt::LeftButton);
    EXPECT_FALSE(Switch->On());
    EXPECT_EQ(Log.last(), "click:off");
}

TEST_F(SwitchTest, ReleasingElsewhereCancelsAndProgramWritesAreSilent) {
    ShowWindow();
    QTest::mousePress(Switch, Qt::LeftButton);
    QTest::mouseRelease(Switch, Qt::LeftButton, Qt::NoModifier,
                        QPoint(Switch->width() + 20, Switch->height() + 20));
    EXPECT_FALSE(Switch->On());
    EXPECT_EQ(Log, (QStringList{"change:on", "change:off"}));
    Switch->SetOn(true);
    EXPECT_TRUE(Switch->On());
    EXPECT_EQ(Log.size(), 2);
    QTest::mouseClick(Switch, Qt::RightButton);
    EXPECT_TRUE(Switch->On());
}

} // namespace
