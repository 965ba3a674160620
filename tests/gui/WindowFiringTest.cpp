// The supply switch, firing, the firing mode, shots per burst, the rate and
// the menu commands of the main window, clicked as the operator clicks them.
#include "gui/MainWindowFixture.h"

#include "controls/Animate.h"
#include "controls/KxDropBtn.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "controls/Switch.h"
#include "laser/CVLaser.h"

#include <QAction>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

namespace {

class WindowFiringTest : public MainWindowTest {
protected:
    void Trigger(const char* item) { Find<QAction>(item)->trigger(); }

    void Click(const char* button) { Find<TSpeedButton>(button)->Click(); }

    // The text typed into the next input box; std::nullopt is Cancel.
    void Type(std::optional<QString> text) { Dialogs->Inputs.push_back(std::move(text)); }

    QString Caption(const char* button) const { return Find<TSpeedButton>(button)->Caption(); }

    QString ModeCaption() const { return Find<TKxDropBtn>("btnLaserMode")->Caption(); }

    // A laser whose supply is on, ready to fire, in burst mode at 10 Hz with
    // `pulses` pulses per burst, all set through the window.
    void BurstAtTenHertz(int type, int pulses) {
        InitializedWindow(type, {"set supply 1", "set start-time 0"});
        Form->timerPollLaserTimer(); // enables the fire button as the laser allows
        Trigger("menuLaserModeBurst");
        Type(QString::number(pulses));
        Trigger("menuLaserModeBurstShots");
        Type(QStringLiteral("10"));
        Click("btnRepRate");
        ASSERT_EQ(ModeCaption(), Find<QAction>("menuLaserModeBurst")->text() +
                                     QStringLiteral(" (%1)").arg(pulses));
        ASSERT_EQ(Caption("btnRepRate"), QStringLiteral("10 Hz"));
        ASSERT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Shown.join('\n').toStdString();
        Mark();
    }

    // A left click as the operator makes it (the fire button toggles).
    void ClickFire() {
        auto* fire = Find<TSpeedButton>("btnLaserFire");
        ASSERT_TRUE(fire->isEnabled());
        QTest::mouseClick(fire, Qt::LeftButton);
    }
};

} // namespace

// ---- Firing -----------------------------------------------------------------

TEST_F(WindowFiringTest, BurstLongEnoughToAnimateKeepsTheButtonDownUntilTheTimer) {
    BurstAtTenHertz(8, 10);
    ClickFire();

    EXPECT_EQ(Since(), QByteArrayList({"SH1", "GO"}));
    auto* fire = Find<TSpeedButton>("btnLaserFire");
    EXPECT_TRUE(fire->Down());
    EXPECT_EQ(fire->Caption(), QStringLiteral("Stop"));
    EXPECT_TRUE(Form->AnimationDoneTimer()->isActive());
    EXPECT_EQ(Form->AnimationDoneTimer()->interval(), 1500);

    // One second at ten frames a second: the 18-frame clip plays once.
    TAnimate* animation = Form->Animation();
    ASSERT_TRUE(animation->Active());
    EXPECT_EQ(animation->CurrentFrame(), 1);
    int ticks = 0;
    while (animation->Active() && ticks < 100) {
        animation->Tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, animation->FrameCount());

    Form->timerAnimationDoneTimer();
    EXPECT_FALSE(fire->Down());
    EXPECT_EQ(fire->Caption(), QStringLiteral("Fire"));
    EXPECT_EQ(animation->CurrentFrame(), 1);
    EXPECT_EQ(Since(), QByteArrayList({"SH1", "GO"})); // the laser ends the burst itself
}

TEST_F(WindowFiringTest, BurstTooShortToAnimateRaisesTheButtonAtOnceAndStillFires) {
    BurstAtTenHertz(3, 4);
    ClickFire();

    EXPECT_EQ(Since(), QByteArrayList({"GO"})); // no shutter on this type
    auto* fire = Find<TSpeedButton>("btnLaserFire");
    EXPECT_FALSE(fire->Down());
    EXPECT_EQ(fire->Caption(), QStringLiteral("Fire"));
    EXPECT_FALSE(Form->AnimationDoneTimer()->isActive());
    EXPECT_FALSE(Form->Animation()->Active());
    EXPECT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Shown.join('\n').toStdString();
}

// ---- Firing mode ------------------------------------------------------------

TEST_F(WindowFiringTest, ModeButtonStepsTheModesAndOneShotLocksTheRate) {
    // Type 2 runs bursts at 5 Hz and the other modes at 1 Hz, set by the
    // laser itself: the rate caption follows the mode.
    InitializedWindow(2);
    auto* rate = Find<TSpeedButton>("btnRepRate");
    auto* arrows = Find<TKxUpDown>("updownRate");
    auto rateEnabled = [&] {
        return rate->isEnabled() && arrows->Enabled() && arrows->BtnUp()->isEnabled() &&
               arrows->BtnDown()->isEnabled();
    };
    auto rateDisabled = [&] {
        return !rate->isEnabled() && !arrows->Enabled() && !arrows->BtnUp()->isEnabled() &&
               !arrows->BtnDown()->isEnabled();
    };
    // Discovery leaves the laser in one-shot mode.
    EXPECT_TRUE(rateDisabled());

    Trigger("menuLaserModeCont");
    EXPECT_TRUE(rateEnabled());
    EXPECT_EQ(ModeCaption(), Find<QAction>("menuLaserModeCont")->text());

    auto* modeButton = Find<TKxDropBtn>("btnLaserMode")->BtnMain();
    modeButton->Click();
    EXPECT_EQ(ModeCaption(), Find<QAction>("menuLaserMode1Shot")->text());
    EXPECT_TRUE(Find<QAction>("menuLaserMode1Shot")->isChecked());
    EXPECT_TRUE(rateDisabled());

    modeButton->Click();
    EXPECT_EQ(ModeCaption(), Find<QAction>("menuLaserModeBurst")->text() + QStringLiteral(" (1)"));
    EXPECT_TRUE(Find<QAction>("menuLaserModeBurst")->isChecked());
    EXPECT_TRUE(rateEnabled());
    EXPECT_EQ(rate->Caption(), QStringLiteral("5 Hz"));

    modeButton->Click();
    EXPECT_EQ(ModeCaption(), Find<QAction>("menuLaserModeCont")->text());
    EXPECT_TRUE(Find<QAction>("menuLaserModeCont")->isChecked());
    EXPECT_TRUE(rateEnabled());
    EXPECT_EQ(rate->Caption(), QStringLiteral("1 Hz"));

    EXPECT_EQ(Since(), QByteArrayList({"MO0", "MO1", "MO2", "MO0"}));
}

TEST_F(WindowFiringTest, ModeTheLaserRefusesLeavesTheModeShown) {
    InitializedWindow(8);
    Control(1, "error MO2 3");
    Trigger("menuLaserModeBurst");
    EXPECT_EQ(Dialogs->Messages().size(), 1);
    EXPECT_EQ(ModeCaption(), Find<QAction>("menuLaserMode1Shot")->text());
    EXPECT_TRUE(Find<QAction>("menuLaserMode1Shot")->isChecked());
    EXPECT_FALSE(Find<QAction>("menuLaserModeBurst")->isChecked());
    EXPECT_FALSE(Find<TSpeedButton>("btnRepRate")->isEnabled());
}

TEST_F(WindowFiringTest, ShotsPerBurstClampsIgnoresLettersAndCancelResends) {
    InitializedWindow(8);
    Trigger("menuLaserModeBurst");
    Mark();

    Type(QStringLiteral("0"));
    Trigger("menuLaserModeBurstShots");
    EXPECT_EQ(Dialogs->Shown.last(),
              QStringLiteral("Pulses per Burst|Enter number of pulses per burst (1 - 4000):|1"));
    EXPECT_EQ(Since(), QByteArrayList({"BU100001", "BU200001", "MO2"}));
    EXPECT_EQ(ModeCaption(), Find<QAction>("menuLaserModeBurst")->text() + QStringLiteral(" (1)"));

    Mark();
    Type(QStringLiteral("99999"));
    Trigger("menuLaserShots"); // the same command from the Laser menu
    EXPECT_EQ(Since(), QByteArrayList({"BU104000", "BU204000", "MO2"}));
    const QString caption = ModeCaption();
    EXPECT_EQ(caption, Find<QAction>("menuLaserModeBurst")->text() + QStringLiteral(" (4000)"));

    Mark();
    const qsizetype shown = Dialogs->Shown.size();
    Type(QStringLiteral("ten"));
    Trigger("menuLaserModeBurstShots");
    EXPECT_TRUE(Since().isEmpty());
    EXPECT_EQ(Dialogs->Shown.size(), shown + 1); // the input box, and nothing after it
    EXPECT_EQ(ModeCaption(), caption);
    EXPECT_EQ(Form->Laser()->BurstCount(), 4000);

    Type(std::nullopt);
    Trigger("menuLaserModeBurstShots");
    EXPECT_EQ(Since(), QByteArrayList({"BU104000", "BU204000", "MO2"}));
    EXPECT_EQ(ModeCaption(), caption);
}

// ---- Rate -------------------------------------------------------------------

TEST_F(WindowFiringTest, RatePromptTakesIntegersAndTheLaserClamps) {
    InitializedWindow(8);
    Trigger("menuLaserModeCont");
    Mark();

    Type(QStringLiteral("12.5"));
    Click("btnRepRate");
    EXPECT_EQ(Dialogs->Shown.at(Dialogs->Shown.size() - 2),
              QStringLiteral("Set Laser Rate|Enter rate (1 to 2000Hz):|1"));
    EXPECT_EQ(Dialogs->Messages(), QStringList({QStringLiteral("Oops, invalid value")}));
    EXPECT_TRUE(Since().isEmpty());
    EXPECT_EQ(Caption("btnRepRate"), QStringLiteral("1 Hz"));

    // Out of the prompt's range is not refused here: the laser clamps.
    Type(QStringLiteral("5000"));
    Click("btnRepRate");
    EXPECT_EQ(Since(), QByteArrayList({"RR02000"}));
    EXPECT_EQ(Caption("btnRepRate"), QStringLiteral("2000 Hz"));

    // At the maximum the up arrow asks for one more, which the laser clamps
    // and sends again.
    Mark();
    Find<TKxUpDown>("updownRate")->BtnUp()->Click();
    EXPECT_EQ(Since(), QByteArrayList({"RR02000"}));
    EXPECT_EQ(Caption("btnRepRate"), QStringLiteral("2000 Hz"));

    // The rate the laser already has is not sent again.
    Mark();
    Type(QStringLiteral(" 2000 "));
    Click("btnRepRate");
    EXPECT_TRUE(Since().isEmpty());
    EXPECT_EQ(Dialogs->Messages().size(), 1);
}

TEST_F(WindowFiringTest, RateArrowsStepByTheLasersRateUnit) {
    InitializedWindow(5); // counts its rate in hundreds of hertz
    Trigger("menuLaserModeCont");
    Mark();

    Find<TKxUpDown>("updownRate")->BtnUp()->Click();
    EXPECT_EQ(Since(), QByteArrayList({"RR002"}));
    EXPECT_EQ(Caption("btnRepRate"), QStringLiteral("200 Hz"));

    Mark();
    Find<TKxUpDown>("updownRate")->BtnDown()->Click();
    Find<TKxUpDown>("updownRate")->BtnDown()->Click(); // below the minimum: clamped
    EXPECT_EQ(Since(), QByteArrayList({"RR001", "RR001"}));
    EXPECT_EQ(Caption("btnRepRate"), QStringLiteral("100 Hz"));
}

// ---- Supply switch ----------------------------------------------------------

TEST_F(WindowFiringTest, SupplySwitchShowsWhatTheLaserReports) {
    InitializedWindow(3, {"set start-time 0"});
    auto* supply = Find<TSwitch>("btnLaserOnOff");
    ASSERT_TRUE(supply->isEnabled());
    ASSERT_FALSE(supply->On());

    QTest::mouseClick(supply, Qt::LeftButton);
    EXPECT_TRUE(Since().contains("ON"));
    EXPECT_TRUE(supply->On());

    QTest::mouseClick(supply, Qt::LeftButton);
    EXPECT_TRUE(Since().contains("OF"));
    EXPECT_FALSE(supply->On());

    // A laser that acknowledges "ON" but stays off: the switch goes back.
    Control(1, "reply ON ok");
    Mark();
    QTest::mouseClick(supply, Qt::LeftButton);
    EXPECT_TRUE(Since().contains("ON"));
    EXPECT_FALSE(supply->On());
    EXPECT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Shown.join('\n').toStdString();
}

// ---- Menu commands ----------------------------------------------------------

TEST_F(WindowFiringTest, NetworkConnectWithoutAHostChangesNothing) {
    InitializedWindow(3);
    const QString status = Status();
    for (const std::optional<QString>& entry :
         {std::optional<QString>(QString()), std::optional<QString>(std::nullopt)}) {
        Type(entry);
        Trigger("menuNetworkConnect");
        EXPECT_EQ(Dialogs->Shown.last(),
                  QStringLiteral("Network Connection|Enter the name of the host computer|"));
    }
    EXPECT_TRUE(Since().isEmpty());
    EXPECT_TRUE(Form->PollTimer()->isActive());
    EXPECT_EQ(Status(), status);
    EXPECT_TRUE(Form->Laser()->NetworkConnection().isEmpty());
    // Still connected: the next poll reaches the laser.
    Form->timerPollLaserTimer();
    EXPECT_TRUE(Since().contains("SS"));
    EXPECT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Shown.join('\n').toStdString();
}

TEST_F(WindowFiringTest, NetworkConnectToARefusingRelayEndsInLaserNotFound) {
    InitializedWindow(3);
    // A port nobody listens on: the relay connect is refused at once.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();

    Type(QStringLiteral("127.0.0.1|%1").arg(port));
    Trigger("menuNetworkConnect");
    ProcessEvents();

    const QStringList messages = Dialogs->Messages();
    ASSERT_FALSE(messages.isEmpty()) << Dialogs->Shown.join('\n').toStdString();
    EXPECT_EQ(messages.first(), QStringLiteral("Unable to open COM port"));
    EXPECT_EQ(messages.last(), QStringLiteral("Laser failed to initialize"));
    EXPECT_EQ(Status(), QStringLiteral("Laser not found "));
    EXPECT_FALSE(Form->PollTimer()->isActive());
    EXPECT_FALSE(Find<TSpeedButton>("btnLaserFire")->isEnabled());
    EXPECT_FALSE(Find<TSpeedButton>("btnRepRate")->isEnabled());
    EXPECT_TRUE(Since().isEmpty()); // nothing reached the laser on its serial port
}

TEST_F(WindowFiringTest, ExitClosesTheWindow) {
    InitializedWindow(3);
    Form->show();
    ASSERT_TRUE(Form->isVisible());
    Trigger("Exit1");
    ProcessEvents();
    EXPECT_FALSE(Form->isVisible());
    EXPECT_FALSE(Form->PollTimer()->isActive());
}
