// Start-up and discovery of the main window against simulated lasers.
#include "gui/MainWindowFixture.h"

#include "app/toolbars/ToolBar.h"
#include "controls/KxAdjuster.h"
#include "controls/KxDropBtn.h"
#include "controls/KxSpeedButton.h"
#include "ipc/IPCMessenger.h"
#include "laser/CVLaser.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <clocale>

namespace {

struct FamilyCase {
    int Type;
    QString Caption;
    QByteArrayList Apply; // what the start settings send, from "MO1" on
    QStringList Shown;
    QStringList Hidden;
};

QStringList Visibility(const QObject* form, const QStringList& names, bool shown) {
    QStringList result;
    for (const QString& name : names) {
        const auto* control = form->findChild<QWidget*>(name);
        if (control && control->isHidden() != shown)
            result << name;
    }
    return result;
}

} // namespace

// The start settings and the layout of one laser of each status family.
TEST_F(MainWindowTest, EachFamilyGetsItsStartSettingsAndControls) {
    const QByteArrayList common = {"MO1", "AT026", "SS", "ST", "XS000", "SS", "YS000", "SS", "ST"};
    const QByteArrayList tail = {"HR?", "FR?", "T1?", "SC", "HR?", "FR?", "T1?"};
    const std::vector<FamilyCase> cases = {
        {3,
         "Trevalon - Tavisk",
         common + QByteArrayList{"SP100", "PM?", "PM0", "VO255"} + tail,
         {"btnEnergy", "switchEnergyMode", "btnWavelength", "panelMarker", "btnPulseWidth", "sep10",
          "btnLED", "indCoolantLow"},
         {"btnVoltage", "btnDiode1", "btnDiode2", "btnRotatingPolarizer", "indBurstLock"}},
        {2,
         "Trevalon - Bromil",
         common + QByteArrayList{"ENH", "SP100", "PM?", "PM0"} + tail,
         {"btnEnergy", "switchEnergyMode", "btnLED", "indBurstLock"},
         {"btnVoltage", "btnDiode1", "btnDiode2", "indCoolantLow"}},
        {5,
         "Trevalon - Quelln",
         QByteArrayList{"MO1", "RR001"} + common.mid(1) +
             QByteArrayList{"SP100", "PM?", "PM0", "DC1000"} + tail,
         {"btnDiode1", "btnEnergy"},
         {"btnVoltage", "updownPFN", "sep3", "btnDiode2", "indBurstLock", "indCoolantLow"}},
        {8,
         "Trevalon - Oltrin",
         common + QByteArrayList{"SP100", "PM?", "PM0", "DC1000", "DC2000"} + tail,
         {"btnDiode1", "updownDiode1", "btnDiode2", "updownDiode2", "btnXYShutterRotation"},
         {"btnVoltage", "updownPFN", "indBurstLock", "indCoolantLow"}},
    };
    for (const FamilyCase& c : cases) {
        SCOPED_TRACE(c.Type);
        Form.reset();
        Manager.reset();
        Sims.clear();
        AddTyped(1, c.Type);
        MakeWindow();
        ASSERT_TRUE(Form->InitializeLaser());
        const QByteArrayList all = Commands();
        EXPECT_EQ(all.mid(all.lastIndexOf("MO1")), c.Apply);
        EXPECT_EQ(Form->windowTitle(), c.Caption);
        EXPECT_EQ(Status(), "Laser initialized ");
        EXPECT_EQ(Visibility(Form.get(), c.Shown, true), c.Shown);
        EXPECT_EQ(Visibility(Form.get(), c.Hidden, false), c.Hidden);
        EXPECT_TRUE(Form->PollTimer()->isActive());
        EXPECT_TRUE(Find("tbMainLaser")->isEnabled());
        EXPECT_EQ(Find<TKxSpeedButton>("btnRepRate")->isEnabled(), false); // one shot
        EXPECT_TRUE(Dialogs->Shown.isEmpty()) << Dialogs->Shown.join("; ").toStdString();
    }
}

TEST_F(MainWindowTest, ALaserOfferingOnlyInfraredHidesTheWavelengthButton) {
    InitializedWindow(3, {"set harmonics 05,05"});
    EXPECT_TRUE(Find("btnWavelength")->isHidden());
    EXPECT_TRUE(Find("sep6")->isHidden());
    EXPECT_TRUE(Find<QAction>("menuLaserIR")->isEnabled());
    EXPECT_FALSE(Find<QAction>("menuLaserGreen")->isEnabled());
    EXPECT_FALSE(Find<QAction>("menuLaserUV")->isEnabled());
}

TEST_F(MainWindowTest, APulseModeQueryThatFailsNeverShowsThePulseWidthButton) {
    InitializedWindow(8, {"error PM? 4"});
    EXPECT_TRUE(Find("btnPulseWidth")->isHidden());
    EXPECT_TRUE(Find("sep10")->isHidden());
    for (const QByteArray& command : Commands())
        EXPECT_FALSE(command.startsWith("PM") && command != "PM?") << command.constData();

    // Without sep10 the first row runs on into the second as far as the
    // window is wide; with it, the second row begins after it.
    Form->resize(1600, Form->height());
    Form->show();
    ProcessEvents();
    EXPECT_EQ(Find("btnLaserFire")->y(), Find("btnLaserOnOff")->y());
    Control(1, "normal PM?");
    ASSERT_TRUE(Form->InitializeLaser());
    ProcessEvents();
    EXPECT_GT(Find("btnLaserFire")->y(), Find("btnLaserOnOff")->y());
}

// The pulse-width button is a latching one: pressed and raised on
// alternate clicks, each sending the other pulse width.
TEST_F(MainWindowTest, ThePulseWidthButtonLatchesOnAlternateClicks) {
    InitializedWindow(8);
    TSpeedButton* pulse = Find<TKxDropBtn>("btnPulseWidth")->BtnMain();
    Mark();
    pulse->click();
    EXPECT_TRUE(pulse->Down());
    pulse->click();
    EXPECT_FALSE(pulse->Down());
    EXPECT_EQ(Since(), (QByteArrayList{"PM1", "PM0"}));
}

// A laser with every option replaced by one with none: the remaining
// controls close up, with no gap where a hidden one stood.
TEST_F(MainWindowTest, TheGapsCloseWhenALaserWithFewerOptionsIsFound) {
    InitializedWindow(8);
    Form->resize(900, Form->height());
    Form->show();
    Control(1, "set type 3");
    Control(1, "set options 0");
    Control(1, "set config 0");
    Control(1, "set harmonics 05,05");
    ASSERT_TRUE(Form->InitializeLaser());
    for (const char* name : {"tbMainLaser", "tbOptions"}) {
        auto* bar = Find<TToolBar>(name);
        QList<QWidget*> row;
        for (QWidget* child : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->isHidden() && !child->isWindow())
                row << child;
        std::sort(row.begin(), row.end(), [](QWidget* a, QWidget* b) {
            return a->y() / 50 != b->y() / 50 ? a->y() < b->y() : a->x() < b->x();
        });
        for (qsizetype i = 1; i < row.size(); ++i) {
            if (row[i]->y() / 50 != row[i - 1]->y() / 50)
                continue;
            EXPECT_LE(row[i]->x() - (row[i - 1]->x() + row[i - 1]->width()), 4)
                << name << ": " << row[i - 1]->objectName().toStdString() << " then "
                << row[i]->objectName().toStdString();
        }
    }
    EXPECT_TRUE(Find("btnDiode1")->isHidden());
    EXPECT_TRUE(Find("btnEnergy")->isHidden());
    EXPECT_TRUE(Find("panelMarker")->isHidden());
    EXPECT_FALSE(Find("btnLaserFire")->isHidden());
}

// No laser: "Laser failed to initialize"; Retry runs the whole discovery
// again, Cancel leaves the window up with its laser controls disabled.
TEST_F(MainWindowTest, FailedDiscoveryOffersRetryAndCancel) {
    AddSim(1, {"--set", "fault silent"});
    MakeWindow();
    Dialogs->Answers = {TMsgResult::mrRetry, TMsgResult::mrCancel};
    EXPECT_FALSE(Form->InitializeLaser());
    EXPECT_EQ(Dialogs->Shown, QStringList{"ERROR|Laser failed to initialize"});
    EXPECT_EQ(Status(), "Laser not found ");
    Form->setWindowTitle("stale");
    ProcessEvents(); // the posted re-discovery
    EXPECT_EQ(Dialogs->Shown.size(), 2);
    EXPECT_EQ(Form->windowTitle(), "Trevalon");
    EXPECT_EQ(Commands().count("SM1"), 2);
    ProcessEvents();
    EXPECT_EQ(Dialogs->Shown.size(), 2); // Cancel posts nothing
    EXPECT_FALSE(Form->PollTimer()->isActive());
    EXPECT_FALSE(Find("tbMainLaser")->isEnabled());
    EXPECT_FALSE(Find("tbOptions")->isEnabled());
    EXPECT_TRUE(Find("panelMarker")->isHidden());
    EXPECT_FALSE(Find<QAction>("menuRecallSettings")->isEnabled());
    EXPECT_TRUE(Find<QAction>("menuInitialize1")->isEnabled());
}

TEST_F(MainWindowTest, FirmwareTooOldIsShownBeforeTheFailure) {
    AddTyped(1, 3, {"set firmware 1.1"});
    MakeWindow();
    EXPECT_FALSE(Form->InitializeLaser());
    ASSERT_EQ(Dialogs->Messages().size(), 2);
    EXPECT_EQ(Dialogs->Messages().at(1), "Laser failed to initialize");
    EXPECT_EQ(Status(), "Laser not found ");
}

// The first activation runs discovery once; later ones do not rescan.
TEST_F(MainWindowTest, DiscoveryRunsOnceWhenTheWindowIsFirstShown) {
    AddTyped(1, 8);
    MakeWindow();
    Form->SetTag(0);
    Form->show();
    for (int i = 0; i < 50 && Form->Tag() == 0; ++i)
        QTest::qWait(10);
    ProcessEvents();
    EXPECT_EQ(Form->Tag(), 1);
    EXPECT_EQ(Form->windowTitle(), "Trevalon - Oltrin");
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(Form.get(), &activate);
    ProcessEvents();
    EXPECT_EQ(Commands().count("SM1"), 1);
}

TEST_F(MainWindowTest, NetArgumentReachesTheLaserThroughARelay) {
    auto sim = SimProcess::StartTcp({"--set", "set type 2", "--set", "set motor-time 0"});
    ASSERT_NE(sim, nullptr);
    MakeWindow(QStringLiteral("net:127.0.0.1|%1").arg(sim->TcpPort()));
    EXPECT_EQ(Form->Laser()->NetworkConnection(),
              QStringLiteral("127.0.0.1|%1").arg(sim->TcpPort()));
    ASSERT_TRUE(Form->InitializeLaser());
    EXPECT_EQ(Status(), "Laser initialized ");
    EXPECT_EQ(Form->windowTitle(), "Trevalon - Bromil");
    EXPECT_TRUE(sim->Transcript().contains(";LASM1"));
    Form.reset();
}

TEST_F(MainWindowTest, TheCommandLineIsReadFromTheFirstArgumentOnly) {
    MakeWindow(QStringLiteral("Net:") + QString(70, QLatin1Char('h')));
    EXPECT_EQ(Form->Laser()->NetworkConnection(), QString(60, QLatin1Char('h')));
    EXPECT_FALSE(Manager->Trace());
    Form.reset();
    Manager.reset();
    MakeWindow(QStringLiteral("log"));
    EXPECT_TRUE(Manager->Trace());
    EXPECT_TRUE(Form->Laser()->NetworkConnection().isEmpty());
}

TEST_F(MainWindowTest, AFullMailboxIsReportedAndStartUpGoesOn) {
    TIPCMessenger first;
    TIPCMessenger second;
    AddTyped(1, 8);
    MakeWindow();
    EXPECT_EQ(Dialogs->Messages(),
              QStringList{"IPC functionality not available: All outboxes are already owned"});
    EXPECT_EQ(Form->Messenger(), nullptr);
    EXPECT_TRUE(Form->InitializeLaser());
}

// Under a decimal-comma locale the window still shows, takes and sends
// numbers with a point (ctest runs this test a second time under de_DE).
TEST_F(MainWindowTest, NumbersUseAPointWhateverTheLocale) {
    if (qEnvironmentVariable("LC_ALL").startsWith("de_DE")) {
        ASSERT_EQ(QString::fromLatin1(std::setlocale(LC_NUMERIC, nullptr)), "de_DE.UTF-8");
    }
    InitializedWindow(8);
    EXPECT_EQ(Find<TKxSpeedButton>("btnEnergy")->Caption(), "10.0%");
    EXPECT_EQ(Find<TKxSpeedButton>("btnLED")->Caption(), "50.0%");
    Dialogs->Inputs = {QStringLiteral("57.2")};
    Find<TKxSpeedButton>("btnEnergy")->Click();
    EXPECT_EQ(Find<TKxSpeedButton>("btnEnergy")->Caption(), "57.2%");
    EXPECT_EQ(Since().value(0), "AT146");
    EXPECT_TRUE(Dialogs->Messages().isEmpty());
    Form->ApplyAperture(0, 57.2f);
    EXPECT_EQ(Find<TKxAdjuster>("adjAperWidth")->EditValue()->text(), "57.20");
}
