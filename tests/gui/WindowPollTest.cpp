// The poll tick of the main window against a simulated laser: what each tick
// sends, what the operator sees, the two fatal conditions and the mailbox.
#include "gui/MainWindowFixture.h"

#include "app/StatMgr.h"
#include "controls/Animate.h"
#include "controls/KxDropBtn.h"
#include "controls/KxIndicator.h"
#include "controls/KxSpeedButton.h"
#include "controls/Switch.h"
#include "ipc/IPCMessenger.h"
#include "support/IpcTestArea.h"
#include "support/SpinUntil.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>
#include <QTimer>

namespace {

// Each test has a mailbox of its own, so that the window's messenger meets
// only the clients the test starts.
class WindowPollTest : public MainWindowTest {
protected:
    QString Shots() const { return Form->StatMgr()->ShotsPanel()->text(); }

    // A tick and the commands it sent.
    QByteArrayList Tick() {
        Mark();
        Form->timerPollLaserTimer();
        return Since();
    }

    TIpcTestNames IpcNames;
};

TEST_F(WindowPollTest, EachTickReadsTheStatusThenOneReadOutInTurn) {
    InitializedWindow(8);
    // New values, so that each panel shows the read-out of its own tick
    // rather than the one from discovery.
    for (const char* line :
         {"set shots 500", "set hours 1300", "set flow 40", "set temperature 31"})
        Control(1, line);
    TStatMgr* panels = Form->StatMgr();

    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "SC"}));
    EXPECT_EQ(panels->ShotsPanel()->text(), " Shots: 500");
    EXPECT_EQ(panels->HoursPanel()->text(), " Hours: 1234");
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "HR?"}));
    EXPECT_EQ(panels->HoursPanel()->text(), " Hours: 1300");
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "FR?"}));
    EXPECT_EQ(panels->FlowPanel()->text(), " Flow: 40");
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "T1?"}));
    EXPECT_EQ(panels->TemperaturePanel()->text(), " Temp: 31");
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "SC"}));
    EXPECT_TRUE(Dialogs->Shown.isEmpty());
}

TEST_F(WindowPollTest, AReadOutTheLaserLacksHasNoPanelAndItsTickReadsOnlyTheStatus) {
    InitializedWindow(8, {"error FR? 1"});
    TStatMgr* panels = Form->StatMgr();
    EXPECT_EQ(panels->FlowPanel(), nullptr);
    ASSERT_NE(panels->HoursPanel(), nullptr);
    ASSERT_NE(panels->TemperaturePanel(), nullptr);
    // The temperature moves left into the flow's place. (Ticks are driven
    // below, not by the timer.)
    Form->PollTimer()->stop();
    Form->show();
    ProcessEvents();
    const int gap =
        panels->TemperaturePanel()->geometry().left() - panels->HoursPanel()->geometry().right();
    EXPECT_GT(gap, 0);
    EXPECT_LT(gap, TStatMgr::FlowWidth);

    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "SC"}));
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "HR?"}));
    EXPECT_EQ(Tick(), (QByteArrayList{"SS"}));
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "T1?"}));
    EXPECT_TRUE(Dialogs->Shown.isEmpty());
}

TEST_F(WindowPollTest, AFaultStopsFiringOnEveryTickWhileStartingAloneDoesNot) {
    InitializedWindow(8, {"set start-time 600000"});
    auto* onOff = Find<TSwitch>("btnLaserOnOff");
    auto* fire = Find<TKxSpeedButton>("btnLaserFire");
    auto* start = Find<TKxIndicator>("indStart");
    auto* flow = Find<TKxIndicator>("indFlow");

    Control(1, "set supply 1");
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "SC"}));
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "HR?"}));
    EXPECT_TRUE(start->Enabled());
    EXPECT_FALSE(flow->Enabled());
    EXPECT_TRUE(onOff->On());
    EXPECT_FALSE(fire->isEnabled());

    // Warmed up: the operator fires continuously.
    Control(1, "set start-time 0");
    Tick();
    ASSERT_TRUE(fire->isEnabled());
    Find<QAction>("menuLaserModeCont")->trigger();
    Mark();
    fire->click();
    ASSERT_TRUE(Since().contains("GO"));
    ASSERT_EQ(fire->Caption(), "Stop");

    // The flow interlock opens (the laser switches its supply off).
    Control(1, "set interlock flow open");
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "ST", "T1?"}));
    EXPECT_FALSE(fire->Down());
    EXPECT_EQ(fire->Caption(), "Fire");
    EXPECT_TRUE(flow->Enabled());
    EXPECT_FALSE(start->Enabled());
    EXPECT_FALSE(onOff->On());
    EXPECT_FALSE(onOff->isEnabled());
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "ST", "SC"}));

    // Starting together with the open interlock still stops firing.
    Control(1, "reply SS 004081");
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "ST", "HR?"}));
    EXPECT_TRUE(start->Enabled());
    EXPECT_TRUE(flow->Enabled());
    EXPECT_TRUE(Dialogs->Shown.isEmpty());
}

TEST_F(WindowPollTest, ASupplyResetFailureAsksOnceAndTheTickStillServesTheMailboxAndStatusBar) {
    InitializedWindow(8);
    TIPCMessenger client;
    ASSERT_TRUE(client.SendRequest("HR?"));
    Control(1, "set reset-fault 1");
    Dialogs->Answers = {TMsgResult::mrOK};

    // RESET clears the identification: the fire button's check asks for the
    // type again, and the shots read-out of this tick is unavailable without
    // asking the laser.
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "LT?", "ST", "HR?"}));
    EXPECT_EQ(Dialogs->Shown, QStringList{"FAILURE|Laser Supply Reset Failure! Press OK to "
                                          "attempt to \rrestart laser, Cancel to abort"});
    EXPECT_FALSE(Form->PollTimer()->isActive());
    EXPECT_EQ(client.TakeReply(), QByteArray("4D2"));
    EXPECT_EQ(Shots(), " Shots: N/A");

    // OK runs the discovery again once the tick has returned.
    Control(1, "set reset-fault 0");
    Mark();
    ProcessEvents();
    EXPECT_EQ(Since().value(0), "SM1");
    EXPECT_TRUE(Form->PollTimer()->isActive());
}

TEST_F(WindowPollTest, RetryOnALaserThatStoppedAnsweringFindsItAgain) {
    InitializedWindow(8);
    Control(1, "fault silent");
    bool timerWasOff = false;
    Dialogs->OnMessage = [&](const QString&, const QString&) {
        timerWasOff = !Form->PollTimer()->isActive();
        Control(1, "fault none");
    };
    Dialogs->Answers = {TMsgResult::mrRetry};

    // The discovery is posted, not run inside the tick.
    EXPECT_FALSE(Tick().contains("SM1"));
    EXPECT_EQ(Dialogs->Shown, QStringList{"ERROR|Laser not responding"});
    EXPECT_TRUE(timerWasOff);
    EXPECT_FALSE(Form->PollTimer()->isActive());

    Mark();
    ProcessEvents();
    EXPECT_EQ(Since().value(0), "SM1");
    EXPECT_EQ(Status(), "Laser initialized ");
    EXPECT_TRUE(Form->PollTimer()->isActive());
}

TEST_F(WindowPollTest, CancelOnALaserThatStoppedAnsweringEndsTheProgram) {
    InitializedWindow(8);
    Form->show();
    Control(1, "fault silent");
    // The laser answers again, so that its shutdown below is quick.
    Dialogs->OnMessage = [&](const QString&, const QString&) { Control(1, "fault none"); };
    Dialogs->Answers = {TMsgResult::mrCancel};

    Form->timerPollLaserTimer();
    ASSERT_EQ(Dialogs->Shown, QStringList{"ERROR|Laser not responding"});
    ProcessEvents();
    EXPECT_FALSE(Form->isVisible());

    // No further tick reaches the laser; its own shutdown still does.
    EXPECT_TRUE(Tick().isEmpty());
    Form.reset();
    EXPECT_EQ(Since().mid(Since().size() - 2), (QByteArrayList{"OF", "SM0"}));
}

TEST_F(WindowPollTest, AShotCounterThatAnswersGarbageOrAnErrorShowsNotAvailable) {
    InitializedWindow(8, {"set shots 700"});
    Control(1, "garbage SC");
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "SC"}));
    EXPECT_EQ(Shots(), " Shots: N/A");

    Control(1, "normal SC");
    for (int i = 0; i < 4; ++i)
        Tick();
    EXPECT_EQ(Shots(), " Shots: 700");

    Control(1, "error SC 1");
    for (int i = 0; i < 4; ++i)
        Tick();
    EXPECT_EQ(Shots(), " Shots: N/A");
    EXPECT_TRUE(Dialogs->Shown.isEmpty());
    EXPECT_TRUE(Form->PollTimer()->isActive());
}

TEST_F(WindowPollTest, AnotherProgramGetsTheLaserRepliesThroughTheMailbox) {
    InitializedWindow(8);
    const QByteArray status = Sims.at(1)->Control("get status").mid(3);
    QProcess client;
    client.setProcessChannelMode(QProcess::SeparateChannels);
    // "AT999" is outside the attenuator's range: the laser answers "?1".
    client.start(qEnvironmentVariable("TREVALON_BIN_DIR") + "/trevalon-ipc",
                 {"--timeout", "60", "SS", "AT999"});
    ASSERT_TRUE(client.waitForStarted(10000)) << client.errorString().toStdString();
    // A bound for a loaded machine, not an expectation of speed.
    const QDeadlineTimer deadline(60000);
    while (client.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        Form->timerPollLaserTimer();
        QCoreApplication::processEvents();
        client.waitForFinished(20);
    }
    ASSERT_EQ(client.state(), QProcess::NotRunning);
    // The laser's refusal is the client's to see: status 4.
    EXPECT_EQ(client.exitCode(), 4) << client.readAllStandardError().toStdString();
    EXPECT_EQ(client.readAllStandardOutput(), status + "\n?1\n");
    EXPECT_TRUE(Commands().contains("AT999"));
    EXPECT_TRUE(Dialogs->Shown.isEmpty());
}

TEST_F(WindowPollTest, AnEmptyRequestGetsAnEmptyReplyAndSendsNothing) {
    InitializedWindow(8);
    TIPCMessenger client;
    ASSERT_TRUE(client.SendRequest(""));
    EXPECT_EQ(Tick(), (QByteArrayList{"SS", "SC"}));
    EXPECT_EQ(client.TakeReply(), QByteArray());
}

TEST_F(WindowPollTest, AClosePendingInsideADialogWaitsForTheTickToReturn) {
    InitializedWindow(8);
    Form->show();
    Control(1, "set reset-fault 1");
    bool visibleInside = false;
    Dialogs->OnMessage = [&](const QString&, const QString&) {
        Form->close();
        visibleInside = Form->isVisible();
    };
    // The operator's OK never counts: the close cancels the dialog.
    Dialogs->Answers = {TMsgResult::mrOK};

    Form->timerPollLaserTimer();
    EXPECT_TRUE(visibleInside);
    EXPECT_TRUE(Dialogs->Aborted());
    EXPECT_TRUE(Form->CloseRequested());
    Mark();
    ProcessEvents();
    EXPECT_FALSE(Form->isVisible());
    // Cancel ends the program instead of looking for the laser again.
    EXPECT_FALSE(Since().contains("SM1"));
}

// ---- The poll inside the operator's dialogs ---------------------------------

TEST_F(WindowPollTest, WhileAPromptIsOpenEveryTickStopsTheFaultAndTheMailboxIsServed) {
    InitializedWindow(8, {"set supply 1", "set start-time 0"});
    Tick();
    Find<QAction>("menuLaserModeCont")->trigger();
    auto* fire = Find<TKxSpeedButton>("btnLaserFire");
    fire->click();
    ASSERT_EQ(Sims.at(1)->Control("get firing"), "OK 1");
    TIPCMessenger client;
    QByteArrayList whileOpen;
    std::optional<QByteArray> reply;
    bool flowShown = false;
    Dialogs->WhileOpen = [&] {
        Mark();
        Control(1, "set interlock flow open");
        ASSERT_TRUE(client.SendRequest("VN"));
        // The real timer, as the prompt's own event loop runs it.
        EXPECT_TRUE(SpinUntil([&] {
            if (!reply)
                reply = client.TakeReply();
            return reply && Since().count("SS") >= 3;
        }));
        whileOpen = Since();
        flowShown = Find<TKxIndicator>("indFlow")->Enabled();
        Control(1, "set interlock flow closed");
    };
    Dialogs->Inputs = {QStringLiteral("20")};
    Find<TKxSpeedButton>("btnEnergy")->click();

    EXPECT_EQ(whileOpen.count("ST"), whileOpen.count("SS")) << whileOpen.join(' ').toStdString();
    EXPECT_TRUE(whileOpen.contains("VN"));
    EXPECT_EQ(reply, QByteArray("2.10"));
    EXPECT_TRUE(flowShown);
    EXPECT_FALSE(fire->Down());
    EXPECT_EQ(Sims.at(1)->Control("get firing"), "OK 0");
    // The laser stayed: the prompt's value reaches it.
    EXPECT_TRUE(Since().contains("AT051"));
    EXPECT_TRUE(Form->PollTimer()->isActive());
    EXPECT_EQ(Dialogs->Messages(), QStringList());
}

TEST_F(WindowPollTest, ALaserLostWhileAPromptIsOpenNeverGetsThePromptsValue) {
    InitializedWindow(8);
    bool pluggedIn = false;
    Dialogs->WhileOpen = [&] {
        Sims.at(1)->Kill();
        Dialogs->OnMessage = [&](const QString&, const QString&) {
            Dialogs->OnMessage = nullptr;
            pluggedIn = Sims.at(1)->Restart();
        };
        Dialogs->Answers = {TMsgResult::mrRetry};
        Form->timerPollLaserTimer();
        EXPECT_FALSE(Form->PollTimer()->isActive());
    };
    Dialogs->Inputs = {QStringLiteral("20")};
    Find<TKxSpeedButton>("btnEnergy")->click();
    ASSERT_TRUE(pluggedIn);
    // The box over the prompt, then the handler's value meets the lost laser;
    // the discovery asked for waits until the handler has returned.
    EXPECT_EQ(Dialogs->Messages(), (QStringList{"Laser not responding", "No response from laser"}));
    ProcessEvents();
    EXPECT_EQ(Status(), "Laser initialized ");
    EXPECT_TRUE(Form->PollTimer()->isActive());
    EXPECT_FALSE(Commands().contains("AT051")) << Commands().join(' ').toStdString();
    EXPECT_EQ(Tick().value(0), "SS");
}

// Another program fires through the mailbox ("MO0", "GO"): the window shows
// it, and one click stops the laser.
TEST_F(WindowPollTest, FiringAnotherProgramStartedShowsStopAndOneClickStopsIt) {
    InitializedWindow(8, {"set supply 1", "set start-time 0"});
    Tick();
    auto* fire = Find<TKxSpeedButton>("btnLaserFire");
    TIPCMessenger client;
    for (const QByteArray request : {"MO0", "GO"}) {
        ASSERT_TRUE(client.SendRequest(request));
        Tick();
        ASSERT_EQ(client.TakeReply(), QByteArray("ok"));
    }
    EXPECT_EQ(Find<TKxDropBtn>("btnLaserMode")->Caption(),
              Find<QAction>("menuLaserModeCont")->text());
    Tick();
    EXPECT_TRUE(fire->Down());
    EXPECT_EQ(fire->Caption(), "Stop");
    EXPECT_TRUE(Form->Animation()->Active());

    Mark();
    QTest::mouseClick(fire, Qt::LeftButton);
    EXPECT_EQ(Since(), QByteArrayList{"ST"});
    EXPECT_EQ(Sims.at(1)->Control("get firing"), "OK 0");
    EXPECT_EQ(fire->Caption(), "Fire");

    // Stopped by the other program, the button comes up by itself.
    for (const QByteArray request : {"GO", "ST"}) {
        ASSERT_TRUE(client.SendRequest(request));
        Tick();
        client.TakeReply();
        Tick();
    }
    EXPECT_FALSE(fire->Down());
    EXPECT_EQ(fire->Caption(), "Fire");
    EXPECT_FALSE(Form->Animation()->Active());
}

} // namespace
