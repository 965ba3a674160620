// Faults of the line and the laser as the operator meets them in the main
// window: a relay or an adapter that goes away, line noise, replies split into
// single bytes or arriving after their time-out, a garbled status word, and a
// supply reset failure while firing. Each test checks what the window shows
// and that the laser is not left firing.
#include "gui/MainWindowFixture.h"

#include "app/StatMgr.h"
#include "comm/NetworkConnection.h"
#include "controls/Animate.h"
#include "controls/KxIndicator.h"
#include "controls/KxSpeedButton.h"
#include "controls/Switch.h"
#include "integration/IpcProcess.h"
#include "support/IpcTestArea.h"
#include "support/Ser2netRelay.h"
#include "support/SpinUntil.h"

#include <QAction>
#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

class WindowFaultTest : public MainWindowTest {
protected:
    QByteArrayList Tick() {
        Mark();
        Form->timerPollLaserTimer();
        return Since();
    }

    // The laser firing continuously, started with the window's fire button.
    void FiringContinuously() {
        InitializedWindow(8, {"set supply 1", "set start-time 0"});
        Tick();
        Find<QAction>("menuLaserModeCont")->trigger();
        auto* fire = Find<TKxSpeedButton>("btnLaserFire");
        ASSERT_TRUE(fire->isEnabled());
        fire->click();
        ASSERT_EQ(Sims.at(1)->Control("get firing"), "OK 1");
        Tick();
        ASSERT_TRUE(Form->Animation()->Active());
        Mark();
    }

    void ExpectStoppedAtRest() {
        EXPECT_EQ(Sims.at(1)->Control("get firing"), "OK 0");
        auto* fire = Find<TKxSpeedButton>("btnLaserFire");
        EXPECT_FALSE(fire->Down());
        EXPECT_EQ(fire->Caption(), "Fire");
        EXPECT_FALSE(Form->Animation()->Active());
    }

    TIpcTestNames IpcNames; // a mailbox of the test's own
};

} // namespace

TEST_F(WindowFaultTest, ARelayDroppedWhilePollingIsNotRespondingAndRetryFindsItOnceItIsBack) {
    if (!Ser2netRelay::Installed())
        GTEST_SKIP() << "ser2net is not installed";
    // The laser only behind the relay, in no COM slot of the window's.
    auto sim = SimProcess::StartPty({"--set", "set type 8", "--set", "set motor-time 0"});
    ASSERT_NE(sim, nullptr);
    Ser2netRelay relay;
    ASSERT_TRUE(relay.Start(sim->PtyPath()));
    MakeWindow("NET:" + relay.Address());
    ASSERT_TRUE(Form->InitializeLaser());
    // Firing continuously when the relay goes.
    ASSERT_EQ(sim->Control("set supply 1"), "OK");
    ASSERT_EQ(sim->Control("set start-time 0"), "OK");
    Form->timerPollLaserTimer();
    Find<QAction>("menuLaserModeCont")->trigger();
    Find<TKxSpeedButton>("btnLaserFire")->click();
    Form->timerPollLaserTimer();
    ASSERT_EQ(sim->Control("get firing"), "OK 1");
    ASSERT_TRUE(Dialogs->Shown.isEmpty()) << Dialogs->Shown.join('\n').toStdString();

    relay.Stop();
    bool relayBack = false;
    Dialogs->OnMessage = [&](const QString&, const QString&) {
        relayBack = relay.Start(sim->PtyPath());
    };
    Dialogs->Answers = {TMsgResult::mrRetry};
    Form->timerPollLaserTimer();
    EXPECT_EQ(Dialogs->Shown, QStringList{"ERROR|Laser not responding"});
    ASSERT_TRUE(relayBack);

    EXPECT_FALSE(Find<TKxSpeedButton>("btnLaserFire")->Down());

    // The stop the dropped line could not carry goes out as soon as the
    // laser is found again.
    const qsizetype before = sim->Transcript().size();
    ProcessEvents();
    EXPECT_EQ(Status(), "Laser initialized ");
    EXPECT_TRUE(Form->PollTimer()->isActive());
    const QByteArray after = sim->Transcript().mid(before);
    EXPECT_TRUE(after.startsWith(";LASM1\n"));
    EXPECT_TRUE(after.contains(";LAST\n"));
    EXPECT_EQ(sim->Control("get firing"), "OK 0");
    EXPECT_EQ(Dialogs->Shown.size(), 1) << Dialogs->Shown.join('\n').toStdString();
}

TEST_F(WindowFaultTest, AnAdapterPulledOutIsNotRespondingAndRetryFindsItPluggedBackIn) {
    InitializedWindow(8);
    Sims.at(1)->Kill();
    bool pluggedIn = false;
    Dialogs->OnMessage = [&](const QString&, const QString&) { pluggedIn = Sims.at(1)->Restart(); };
    Dialogs->Answers = {TMsgResult::mrRetry};
    Form->timerPollLaserTimer();
    EXPECT_EQ(Dialogs->Shown, QStringList{"ERROR|Laser not responding"});
    ASSERT_TRUE(pluggedIn);

    ProcessEvents();
    EXPECT_EQ(Status(), "Laser initialized ");
    EXPECT_EQ(Dialogs->Shown.size(), 1) << Dialogs->Shown.join('\n').toStdString();
    EXPECT_EQ(Tick().value(0), "SS");
}

TEST_F(WindowFaultTest, LineNoiseAndRepliesInSingleBytesChangeNothingTheOperatorSees) {
    InitializedWindow(8, {"set shots 700", "set hours 1300"});
    // The noise after each reply holds NULs, CRs and fragments that read as
    // replies ("C00080" would be a supply reset failure, "?1" an error).
    for (const char* fault : {"fault burst", "fault nul", "fault split 1", "fault extra"}) {
        SCOPED_TRACE(fault);
        Control(1, fault);
        EXPECT_EQ(Tick(), (QByteArrayList{"SS", "SC"}));
        EXPECT_EQ(Tick(), (QByteArrayList{"SS", "HR?"}));
        EXPECT_EQ(Tick(), (QByteArrayList{"SS", "FR?"}));
        EXPECT_EQ(Tick(), (QByteArrayList{"SS", "T1?"}));
        EXPECT_EQ(Form->StatMgr()->ShotsPanel()->text(), " Shots: 700");
        EXPECT_EQ(Form->StatMgr()->HoursPanel()->text(), " Hours: 1300");
        EXPECT_FALSE(Find<TKxIndicator>("indFlow")->Enabled());
    }
    EXPECT_TRUE(Dialogs->Shown.isEmpty()) << Dialogs->Shown.join('\n').toStdString();
    EXPECT_TRUE(Form->PollTimer()->isActive());
}

TEST_F(WindowFaultTest, AReplyArrivingAfterItsTimeOutIsNotTakenByTheNextExchange) {
    // Type 8 counts in hundreds: "SC" answers "1", which read as a status
    // word would be an open flow interlock.
    InitializedWindow(8, {"set shots 100"});
    Control(1, "late SC 2200");
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "SC"}));
    EXPECT_EQ(Form->StatMgr()->ShotsPanel()->text(), " Shots: N/A");
    Control(1, "normal SC");
    // The late answer has arrived before the next tick writes.
    QThread::msleep(400);

    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "HR?"}));
    EXPECT_FALSE(Find<TKxIndicator>("indFlow")->Enabled());
    EXPECT_EQ(Form->StatMgr()->HoursPanel()->text(), " Hours: 1234");
    EXPECT_TRUE(Dialogs->Shown.isEmpty()) << Dialogs->Shown.join('\n').toStdString();
}

TEST_F(WindowFaultTest, AStatusThatIsNotHexWhileFiringStopsTheLaserBeforeAsking) {
    FiringContinuously();
    Control(1, "reply SS 12G4");
    QByteArrayList beforeAsking;
    Dialogs->OnMessage = [&](const QString&, const QString&) {
        beforeAsking = Since();
        Control(1, "normal SS");
    };
    Dialogs->Answers = {TMsgResult::mrRetry};
    Form->timerPollLaserTimer();

    EXPECT_EQ(Dialogs->Shown, QStringList{"ERROR|Laser not responding"});
    EXPECT_EQ(beforeAsking, (QByteArrayList{"SS", "ST"}));
    ExpectStoppedAtRest();
    ProcessEvents();
    EXPECT_EQ(Status(), "Laser initialized ");
}

TEST_F(WindowFaultTest, ASupplyResetFailureWhileFiringStopsTheLaserThenAsksOnce) {
    FiringContinuously();
    Control(1, "set reset-fault 1");
    QByteArrayList beforeAsking;
    Dialogs->OnMessage = [&](const QString&, const QString&) { beforeAsking = Since(); };
    Dialogs->Answers = {TMsgResult::mrCancel};
    Form->timerPollLaserTimer();

    ASSERT_EQ(Dialogs->Shown.size(), 1);
    EXPECT_TRUE(Dialogs->Shown[0].startsWith("FAILURE|Laser Supply Reset Failure!"));
    EXPECT_TRUE(beforeAsking.contains("ST")) << beforeAsking.join(' ').toStdString();
    ExpectStoppedAtRest();
    EXPECT_FALSE(Form->PollTimer()->isActive());
}

TEST_F(WindowFaultTest, AFaultStopTheLaserRefusesIsToldOnceAndSentOnEveryTick) {
    FiringContinuously();
    Control(1, "error ST 5");
    Control(1, "set interlock flow open");
    QList<QByteArrayList> inside;
    // Ticks keep running while the operator reads the message.
    Dialogs->WhileOpen = [&] {
        for (int i = 0; i < 2; ++i)
            inside << Tick();
    };
    Form->timerPollLaserTimer();
    EXPECT_EQ(Dialogs->Shown, QStringList{"Trevalon|Unknown error"});
    ASSERT_EQ(inside.size(), 2);
    for (const QByteArrayList& tick : inside)
        EXPECT_EQ(tick.mid(0, 2), (QByteArrayList{"SS", "ST"}));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Tick().mid(0, 2), (QByteArrayList{"SS", "ST"}));
    EXPECT_EQ(Dialogs->Shown.size(), 1);
    EXPECT_TRUE(Form->PollTimer()->isActive());
    EXPECT_TRUE(Find<TKxIndicator>("indFlow")->Enabled());

    // Once a stop goes through the episode is over; the next refusal is told.
    Control(1, "normal ST");
    Tick();
    Control(1, "error ST 5");
    Tick();
    EXPECT_EQ(Dialogs->Shown.size(), 2);
}

TEST_F(WindowFaultTest, ClicksAndTicksDuringARediscoverysRelayWaitLeaveNoTrace) {
    // The laser behind a relay: laser-sim's own TCP service.
    Sims[1] = SimProcess::StartTcp(
        {"--set", "set type 8", "--set", "set motor-time 0", "--set", "set supply 1"});
    ASSERT_NE(Sims.at(1), nullptr);
    MakeWindow(QStringLiteral("NET:127.0.0.1|%1").arg(Sims.at(1)->TcpPort()));
    ASSERT_TRUE(Form->InitializeLaser());
    Control(1, "set start-time 0");
    Form->timerPollLaserTimer();
    Find<QAction>("menuLaserModeCont")->trigger();
    auto* fire = Find<TKxSpeedButton>("btnLaserFire");
    auto* supply = Find<TSwitch>("btnLaserOnOff");
    ASSERT_TRUE(fire->isEnabled());
    ASSERT_TRUE(supply->isEnabled());
    const bool supplyOn = supply->On();

    // The relay drops the line: the rediscovery waits for it to connect
    // again, processing events meanwhile.
    Control(1, "drop");
    ASSERT_TRUE(SpinUntil([&] { return !Manager->PortData(1).Connection->Connected(); }));
    QByteArrayList tickInside{"none"};
    bool clicked = false;
    QTimer::singleShot(0, Form.get(), [&] {
        Mark();
        Form->timerPollLaserTimer();
        tickInside = Since();
        fire->click();
        QTest::mouseClick(supply, Qt::LeftButton);
        clicked = true;
    });
    Find<QAction>("menuInitialize1")->trigger();
    ASSERT_TRUE(clicked);
    EXPECT_EQ(Status(), "Laser initialized ");
    EXPECT_TRUE(tickInside.isEmpty()) << tickInside.join(' ').toStdString();
    EXPECT_FALSE(fire->Down());
    EXPECT_EQ(fire->Caption(), "Fire");
    EXPECT_EQ(supply->On(), supplyOn);
    EXPECT_FALSE(Commands().contains("GO"));
    EXPECT_EQ(Sims.at(1)->Control("get firing"), "OK 0");
}

TEST_F(WindowFaultTest, ARelayErrorIsShownOnceTheHandlerAtWorkHasReturned) {
    InitializedWindow(8);
    QStringList shownInside;
    Dialogs->WhileOpen = [&] {
        Q_EMIT Manager->NetworkError(1, QStringLiteral("The remote host closed the connection"));
        shownInside = Dialogs->Shown;
    };
    Find<TKxSpeedButton>("btnEnergy")->click(); // the prompt, cancelled
    EXPECT_EQ(shownInside.size(), 1);
    EXPECT_EQ(Dialogs->Shown.value(1), "Trevalon|The remote host closed the connection");

    Q_EMIT Manager->NetworkError(1, QStringLiteral("Network unreachable"));
    EXPECT_EQ(Dialogs->Shown.value(2), "Trevalon|Network unreachable");
    EXPECT_EQ(Dialogs->Shown.size(), 3);
}

TEST_F(WindowFaultTest, AMailboxClientKilledHoldingTheLockStopsNeitherThePollNorItsRequest) {
    InitializedWindow(8);
    TIpcProcess client(IPC_PEER_PATH, {"claim"});
    ASSERT_EQ(client.ReadLine(), "box 1");
    ASSERT_EQ(client.Ask("send VN"), "sent");
    ASSERT_EQ(client.Ask("lock"), "locked");
    client.Kill(SIGKILL);

    // The kernel let go of the dead client's lock: the tick takes the
    // request, passes it on and posts the reply.
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "VN", "SC"}));
    TRawArea area;
    EXPECT_EQ(area.MessageFlag(0), 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(area.Text(0)), "2.10");
    EXPECT_TRUE(Dialogs->Shown.isEmpty()) << Dialogs->Shown.join('\n').toStdString();
}
