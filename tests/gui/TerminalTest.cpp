// The terminal window against simulated lasers on ptys and through ser2net
// as a real relay: alone, and opened from the main window's Help menu.
#include "gui/MainWindowFixture.h"
#include "support/Ser2netRelay.h"
#include "support/SpinUntil.h"

#include "comm/CommChannel.h"
#include "terminal/Terminal.h"
#include "terminal/TerminalState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QThread>
#include <QTimer>

namespace {

const QString InvalidValue =
    QStringLiteral("Invalid value, enter a decimal value between 0 and 255");

class TerminalTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // The state goes to a private configuration folder, never the
        // user's; Qt fixes the folder on the first use of the settings.
        static QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        terminal::OpenStorage()->remove(QLatin1String(terminal::StorageName));
    }

    void TearDown() override {
        delete Terminal.data();
        MainWindowTest::TearDown();
    }

    // The connection manager over the simulators added so far.
    void MakeManager() {
        QMap<int, QString> map;
        for (const auto& [slot, sim] : Sims)
            map.insert(slot, sim->PtyPath());
        Manager = std::make_unique<TConnectionManager>(map);
    }

    // A terminal shown modelessly, as the modal one would be.
    void Open() {
        Terminal = new TformTerminal;
        Terminal->SetDialogs(&Asked);
        Terminal->show();
        Terminal->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Terminal.data()));
    }

    // Closes the terminal and, as the form manager would, frees it.
    void Close() {
        Terminal->close();
        delete Terminal.data();
    }

    template <class T = QWidget> T* Control(const char* name) const {
        T* control = Terminal->findChild<T*>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // Types `text` into the send box and presses Enter there.
    void Send(const QString& text) {
        Control<QLineEdit>("editSend")->setText(text);
        QTest::keyClick(Control("editSend"), Qt::Key_Return);
    }

    // On its box, not in the empty room right of its text.
    void ClickCheckBox(const char* name) {
        QWidget* box = Control(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }

    QStringList Items(const char* list) const {
        QStringList items;
        auto* widget = Control<QListWidget>(list);
        for (int i = 0; i < widget->count(); ++i)
            items << widget->item(i)->text();
        return items;
    }

    // Waits until the terminal's port has `count` bytes waiting.
    bool Arrived(unsigned count) {
        return SpinUntil(
            [&] { return Manager->BytesAvailable(Terminal->Channel().Port()) >= count; });
    }

    // The simulator's transcript once it has taken in everything sent.
    QByteArray Received(int slot = 1) {
        Sims.at(slot)->Control("ping");
        return Sims.at(slot)->Transcript();
    }

    // The terminal the main window opened, from inside its modal loop.
    static TformTerminal* Shown() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* terminal = qobject_cast<TformTerminal*>(window);
                terminal && terminal->isVisible())
                return terminal;
        return nullptr;
    }

    QPointer<TformTerminal> Terminal;
    TScriptedDialogs Asked;
};

// ---- Ports ------------------------------------------------------------------

TEST_F(TerminalTest, ListsThePresentSlotsWithTheirPathsAndOpensTheChosenOne) {
    AddTyped(1, 3);
    AddTyped(3, 3);
    MakeManager();
    Open();
    auto* ports = Control<QComboBox>("listPorts");
    ASSERT_EQ(ports->count(), 2);
    EXPECT_EQ(ports->itemText(0), "COM1  " + Sims.at(1)->PtyPath());
    EXPECT_EQ(ports->itemText(1), "COM3  " + Sims.at(3)->PtyPath());
    EXPECT_EQ(Terminal->Channel().Port(), 1);
    EXPECT_EQ(Manager->PortData(1).OpenCount, 1);
    EXPECT_TRUE(Manager->PortData(1).Exclusive);
    EXPECT_TRUE(Terminal->ResponseTimer()->isActive());

    ports->setFocus();
    QTest::keyClick(ports, Qt::Key_Down);
    EXPECT_EQ(Terminal->Channel().Port(), 3);
    EXPECT_EQ(Manager->PortData(1).OpenCount, 0);
    EXPECT_EQ(Manager->PortData(3).OpenCount, 1);
    Send(";LAVN");
    EXPECT_TRUE(Received(3).contains(";LAVN\n"));
    EXPECT_FALSE(Received(1).contains(";LAVN"));
    EXPECT_TRUE(Asked.Shown.isEmpty());
}

TEST_F(TerminalTest, PortsHeldBeforeComeBackWithTheirCountsFlagsAndRoutings) {
    if (!Ser2netRelay::Installed())
        GTEST_SKIP() << "ser2net is not installed";
    AddTyped(1, 3);
    AddTyped(2, 3);
    MakeManager();
    const auto relayed = SimProcess::StartPty();
    ASSERT_NE(relayed, nullptr);
    Ser2netRelay relay;
    ASSERT_TRUE(relay.Start(relayed->PtyPath()));
    TCommChannel shared1, shared2, exclusive, routed;
    ASSERT_TRUE(shared1.Open(1, false));
    ASSERT_TRUE(shared2.Open(1, false));
    ASSERT_TRUE(exclusive.Open(2, true));
    ASSERT_TRUE(Manager->SetNetworkAddress(5, relay.Address()));
    ASSERT_TRUE(routed.Open(5, false));

    Open();
    // While shown, the terminal's own port is the only one held.
    EXPECT_EQ(Manager->PortData(1).OpenCount, 1);
    EXPECT_TRUE(Manager->PortData(1).Exclusive);
    EXPECT_EQ(Manager->PortData(2).OpenCount, 0);
    EXPECT_EQ(Manager->PortData(5).OpenCount, 0);
    EXPECT_EQ(Manager->PortData(5).Connection, nullptr);
    EXPECT_TRUE(Manager->PortData(5).Address.isEmpty());

    Close();
    EXPECT_EQ(Manager->PortData(1).OpenCount, 2);
    EXPECT_FALSE(Manager->PortData(1).Exclusive);
    EXPECT_EQ(Manager->PortData(2).OpenCount, 1);
    EXPECT_TRUE(Manager->PortData(2).Exclusive);
    EXPECT_EQ(Manager->PortData(5).OpenCount, 1);
    EXPECT_EQ(Manager->PortData(5).Address, relay.Address());
    EXPECT_NE(Manager->PortData(5).Connection, nullptr);
    // The holders talk to their lasers again.
    QByteArray reply(61, '\0');
    EXPECT_TRUE(Manager->PortTransact(1, ";LAVN\r", '\r', 60, reply.data()));
    EXPECT_TRUE(Manager->PortTransact(2, ";LAVN\r", '\r', 60, reply.data()));
}

// ---- Sending and receiving ----------------------------------------------------

TEST_F(TerminalTest, ALineGoesOutAsLatin1WithEachTerminator) {
    AddTyped(1, 3);
    MakeManager();
    Open();
    QTest::mouseClick(Control("radioLF"), Qt::LeftButton);
    Send(QStringLiteral("A\u00e9"));
    Control<QLineEdit>("editOther")->setText("35");
    QTest::mouseClick(Control("radioOther"), Qt::LeftButton);
    Send("AB");
    QTest::mouseClick(Control("radioCR"), Qt::LeftButton);
    EXPECT_FALSE(Control("editOther")->isEnabled());
    Send(";LAVN");
    EXPECT_TRUE(Received().contains("A\\xE9\\x0AAB#;LAVN\n"));
    EXPECT_TRUE(Asked.Shown.isEmpty());
}

TEST_F(TerminalTest, ALongReplyIsTakenTwentyBytesATickAndShownWhenItsTerminatorIsIn) {
    AddTyped(1, 3, {"fault long"});
    MakeManager();
    Open();
    Send(";LAVN");
    ASSERT_TRUE(Arrived(81));
    for (int tick = 1; tick <= 4; ++tick) {
        Terminal->Timer1Timer();
        EXPECT_TRUE(Items("listResponse").isEmpty()) << tick;
    }
    Terminal->Timer1Timer();
    const QStringList shown = Items("listResponse");
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.front().size(), 81);
    EXPECT_TRUE(shown.front().endsWith('\r'));
}

TEST_F(TerminalTest, ThroughARelayLinesShowOneATickAndUnterminatedTextNever) {
    if (!Ser2netRelay::Installed())
        GTEST_SKIP() << "ser2net is not installed";
    SimProcess* sim = AddTyped(1, 3, {"reply LT? 3"});
    Ser2netRelay relay;
    ASSERT_TRUE(relay.Start(sim->PtyPath()));
    // No serial slot at all: the terminal starts without a port.
    Manager = std::make_unique<TConnectionManager>(QMap<int, QString>{});
    Open();
    EXPECT_EQ(Asked.Messages(), QStringList{"No COM ports available"});
    EXPECT_FALSE(Control("editSend")->isEnabled());
    EXPECT_FALSE(Terminal->ResponseTimer()->isActive());
    Send(";LAVN");
    EXPECT_TRUE(Items("listHistory").isEmpty());

    // A routing that connects makes the terminal usable.
    Asked.Inputs = {relay.Address()};
    QTest::mouseClick(Control("btnNetwork"), Qt::LeftButton);
    EXPECT_EQ(Asked.Shown.last(), "Network Connection|Enter the Name or IP of Host:|");
    EXPECT_EQ(Manager->PortData(1).Address, relay.Address());
    EXPECT_TRUE(Terminal->Channel().IsOpen());
    EXPECT_TRUE(Control("editSend")->isEnabled());
    EXPECT_TRUE(Terminal->ResponseTimer()->isActive());
    Terminal->ResponseTimer()->stop(); // the test drives the ticks

    Send(";LAVN");
    Send(";LALT?");
    ASSERT_TRUE(Arrived(7)); // "2.10\r3\r"
    Terminal->Timer1Timer();
    EXPECT_EQ(Items("listResponse"), QStringList{"2.10\r"});
    Terminal->Timer1Timer();
    EXPECT_EQ(Items("listResponse"), (QStringList{"3\r", "2.10\r"}));

    ASSERT_TRUE(sim->Control("fault extra").startsWith("OK"));
    Send(";LAVN");
    ASSERT_TRUE(Arrived(8)); // "2.10\rXYZ"
    for (int tick = 0; tick < 10; ++tick)
        Terminal->Timer1Timer();
    // "2.10\r" shows; the "XYZ" after it never does.
    EXPECT_EQ(Items("listResponse"), (QStringList{"2.10\r", "3\r", "2.10\r"}));
}

// ---- History --------------------------------------------------------------------

TEST_F(TerminalTest, TheHistoryKeeps21DistinctLinesNewestFirstWhateverTheirCase) {
    AddTyped(1, 3);
    MakeManager();
    Open();
    for (int i = 0; i < 22; ++i)
        Send(QStringLiteral("L%1").arg(i));
    QStringList history = Items("listHistory");
    ASSERT_EQ(history.size(), 21);
    EXPECT_EQ(history.front(), "L21");
    EXPECT_EQ(history.back(), "L1");

    Send("l5");
    EXPECT_EQ(Items("listHistory"), history);
    EXPECT_TRUE(Received().contains("\nl5\n"));

    // A click on an entry sends it again.
    auto* list = Control<QListWidget>("listHistory");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(Control<QLineEdit>("editSend")->text(), "L21");
    EXPECT_EQ(Items("listHistory"), history);

    // Enter on a button sends too; no button takes it.
    Control<QLineEdit>("editSend")->setText(";LAVN");
    Control("btnClear")->setFocus();
    QTest::keyClick(Control("btnClear"), Qt::Key_Return);
    EXPECT_EQ(Items("listHistory").front(), ";LAVN");
    QTest::mouseClick(Control("btnClear"), Qt::LeftButton);
    EXPECT_TRUE(Items("listHistory").isEmpty());
    EXPECT_TRUE(Control<QLineEdit>("editSend")->text().isEmpty());
    EXPECT_TRUE(Received().contains(";LAVN\n"));
}

// ---- Terminator validation --------------------------------------------------------

TEST_F(TerminalTest, AnOtherNumberOutside0To255GivesTheMessageAndTerminator0OnBothPaths) {
    AddTyped(1, 3);
    MakeManager();
    Open();
    auto* other = Control<QLineEdit>("editOther");

    // Leaving the box.
    QTest::mouseClick(Control("radioOther"), Qt::LeftButton);
    EXPECT_TRUE(other->isEnabled());
    for (const char* typed : {"300", "abc"}) {
        Asked.Shown.clear();
        other->setFocus();
        other->setText(typed);
        Control("editSend")->setFocus();
        QCoreApplication::processEvents();
        EXPECT_EQ(Asked.Messages(), QStringList{InvalidValue}) << typed;
        EXPECT_EQ(Terminal->Terminator(), 0) << typed;
        EXPECT_EQ(other->text(), "0");
    }

    // Clicking "Other:" with a number out of range in the box: the same
    // check, not the number's low byte (300 would be a comma).
    QTest::mouseClick(Control("radioCR"), Qt::LeftButton);
    other->setText("300");
    Asked.Shown.clear();
    QTest::mouseClick(Control("radioOther"), Qt::LeftButton);
    EXPECT_EQ(Asked.Messages(), QStringList{InvalidValue});
    EXPECT_EQ(other->text(), "0");
    Send("AB");
    QTest::mouseClick(Control("radioCR"), Qt::LeftButton);
    Send(";LAVN");
    EXPECT_TRUE(Received().contains("AB\\x00;LAVN\n"));

    // A number typed and sent with Enter counts at once.
    QTest::mouseClick(Control("radioOther"), Qt::LeftButton);
    other->setFocus();
    other->setText("10");
    Control<QLineEdit>("editSend")->setText("CD");
    QTest::keyClick(other, Qt::Key_Return);
    QTest::mouseClick(Control("radioCR"), Qt::LeftButton);
    Send(";LAVN");
    EXPECT_TRUE(Received().contains("CD\\x0A;LAVN\n"));
}

// ---- Predefined commands ------------------------------------------------------------

TEST_F(TerminalTest, PredefinedCommandsSendOnAClickAndEnterStaysWithTheSendBoxInEditMode) {
    AddTyped(1, 3);
    MakeManager();
    Open();
    auto* grp = Control<QGroupBox>("grpAdvanced");
    const int narrow = Terminal->width();
    EXPECT_GE(grp->x(), narrow);
    Asked.Inputs = {QStringLiteral("Corvane"), QStringLiteral("corvane")};
    QTest::mouseClick(Control("btnAdvanced"), Qt::LeftButton);
    EXPECT_EQ(Terminal->width(), narrow);
    QTest::mouseClick(Control("btnAdvanced"), Qt::LeftButton);
    EXPECT_EQ(Terminal->width(), grp->x() + grp->width() + 16);
    EXPECT_EQ(Asked.Shown.last(), "Password|Enter password:|");

    auto* cmds = Control<QPlainTextEdit>("listCmds");
    const QTextBlock line = cmds->document()->findBlockByNumber(6);
    ASSERT_EQ(line.text(), ";LCIS    Interlock status");
    QTextCursor at(line);
    at.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 12);
    QTest::mouseClick(cmds->viewport(), Qt::LeftButton, {}, cmds->cursorRect(at).center());
    EXPECT_EQ(Control<QLineEdit>("editSend")->text(), ";LCIS");
    EXPECT_TRUE(("\n" + Received()).contains("\n;LCIS\n"));

    // In edit mode a click only places the caret, and Enter there sends the
    // send box's line instead of breaking the list's line.
    ClickCheckBox("chkEditMode");
    EXPECT_FALSE(cmds->isReadOnly());
    const QString before = cmds->toPlainText();
    Control<QLineEdit>("editSend")->setText(";LAVN");
    QTest::mouseClick(cmds->viewport(), Qt::LeftButton, {}, cmds->cursorRect(at).center());
    EXPECT_EQ(Control<QLineEdit>("editSend")->text(), ";LAVN");
    QTest::keyClick(cmds, Qt::Key_Return);
    QTest::keyClick(cmds, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(cmds->toPlainText(), before);
    EXPECT_EQ(Received().count(";LAVN\n"), 2);
}

// ---- Kept between runs -----------------------------------------------------------------

TEST_F(TerminalTest, TextsChoiceCommandsAndHistoryAreKeptForTheNextOpening) {
    AddTyped(1, 3);
    MakeManager();
    Open();
    Control<QLineEdit>("editOther")->setText("35");
    QTest::mouseClick(Control("radioLF"), Qt::LeftButton);
    Send("first");
    Send("second");
    Control<QLineEdit>("editSend")->setText("typed, not sent");
    ClickCheckBox("chkEditMode");
    Control<QPlainTextEdit>("listCmds")->setPlainText(";LAVN  Version\n;LASS  Status, raw");
    Close();
    EXPECT_EQ(Manager->PortData(1).OpenCount, 0);

    Open();
    EXPECT_TRUE(Control<QRadioButton>("radioLF")->isChecked());
    EXPECT_EQ(Terminal->Terminator(), 10);
    EXPECT_FALSE(Control("editOther")->isEnabled());
    EXPECT_EQ(Control<QLineEdit>("editOther")->text(), "35");
    EXPECT_EQ(Control<QLineEdit>("editSend")->text(), "typed, not sent");
    EXPECT_EQ(Items("listHistory"), (QStringList{"second", "first"}));
    EXPECT_EQ(Control<QPlainTextEdit>("listCmds")->toPlainText(),
              ";LAVN  Version\n;LASS  Status, raw");
    // Edit mode and the width are not kept.
    EXPECT_FALSE(Control<QCheckBox>("chkEditMode")->isChecked());
}

// ---- From the main window ------------------------------------------------------------

TEST_F(TerminalTest, TheMainWindowStopsItsPollForTheTerminalAndResumesAfter) {
    InitializedWindow(8);
    ASSERT_TRUE(Form->PollTimer()->isActive());
    bool pollStopped = false;
    bool laserLetGo = false;
    bool terminalHeldPort = false;
    QTimer::singleShot(0, [&] {
        Terminal = Shown();
        ASSERT_FALSE(Terminal.isNull());
        pollStopped = !Form->PollTimer()->isActive();
        laserLetGo = !Form->Laser()->Connected();
        terminalHeldPort = Manager->PortData(1).OpenCount == 1 && Manager->PortData(1).Exclusive;
        Send(";LAVN");
        Terminal->close();
    });
    Find<QAction>("menuTerminal")->trigger();
    EXPECT_TRUE(pollStopped);
    EXPECT_TRUE(laserLetGo);
    EXPECT_TRUE(terminalHeldPort);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Terminal.isNull());
    EXPECT_TRUE(Since().contains("VN"));

    EXPECT_TRUE(Form->PollTimer()->isActive());
    Mark();
    Form->timerPollLaserTimer();
    EXPECT_TRUE(Since().contains("SS"));

    // A poll that was off stays off.
    Form->PollTimer()->stop();
    QTimer::singleShot(0, [] { Shown()->close(); });
    Find<QAction>("menuTerminal")->trigger();
    EXPECT_FALSE(Form->PollTimer()->isActive());
    EXPECT_TRUE(Dialogs->Shown.isEmpty());
}

TEST_F(TerminalTest, ClosingTheProgramWhileTheTerminalIsOpenClosesItFirstAndSwitchesTheLaserOff) {
    InitializedWindow(8);
    Form->show();
    bool portsBackAtOnce = false;
    bool leftOpen = false;
    // The close arrives while the terminal's own handler shows a message.
    Dialogs->OnMessage = [&](const QString&, const QString&) {
        // What SIGINT and SIGTERM do.
        Form->close();
        portsBackAtOnce = Manager->PortData(1).OpenCount == 0 && !Terminal->isVisible();
        // A terminal left open would keep the test waiting for good.
        QTimer::singleShot(0, [&] {
            if (TformTerminal* open = Shown()) {
                leftOpen = true;
                open->close();
            }
        });
    };
    QTimer::singleShot(0, [&] {
        Terminal = Shown();
        ASSERT_FALSE(Terminal.isNull());
        Control<QLineEdit>("editOther")->setText("300");
        QTest::mouseClick(Control("radioOther"), Qt::LeftButton);
    });
    Find<QAction>("menuTerminal")->trigger();
    EXPECT_EQ(Dialogs->Messages(), QStringList{InvalidValue});
    EXPECT_TRUE(portsBackAtOnce);
    EXPECT_FALSE(leftOpen);
    EXPECT_TRUE(Form->CloseRequested());
    ProcessEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Terminal.isNull());
    EXPECT_FALSE(Form->isVisible());
    EXPECT_FALSE(Form->PollTimer()->isActive());

    Mark();
    Form.reset();
    ASSERT_TRUE(SpinUntil([&] { return Since().contains("SM0"); }));
    EXPECT_EQ(Since(), (QByteArrayList{"OF", "SM0"}));
}

} // namespace
