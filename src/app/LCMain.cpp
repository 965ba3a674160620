#include "app/LCMain.h"

#include "app/LaserClip.h"
#include "app/StatMgr.h"
#include "app/toolbars/CtrlMgr.h"
#include "app/toolbars/FiringRow.h"
#include "app/toolbars/MainMenus.h"
#include "app/toolbars/OptionsBar.h"
#include "app/toolbars/OutputRow.h"
#include "app/toolbars/StatusPanel.h"
#include "app/toolbars/ToolBar.h"
#include "comm/ConnectionManager.h"
#include "controls/Animate.h"
#include "controls/ExceptionDisplay.h"
#include "controls/KxAdjuster.h"
#include "controls/KxEnabler.h"
#include "controls/KxFormManager.h"
#include "controls/SpeedButton.h"
#include "controls/Switch.h"
#include "dialogs/QtDialogs.h"
#include "ipc/IPCMessenger.h"
#include "laser/InHouseLaser.h"
#include "session/SafetyPoll.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QThread>
#include <QTimer>

#include <clocale>

namespace {

const QEvent::Type LaserInitEvent = QEvent::Type(TformMain::WM_LASERINIT);

QString ApplicationTitle() {
    return QStringLiteral("Trevalon");
}

} // namespace

TformMain::TformMain(TMainOptions options, QWidget* parent)
    : QMainWindow(parent), FDialogs(std::move(options.Dialogs)) {
    if (!FDialogs)
        FDialogs = std::make_unique<TQtDialogs>(this);
    SetExceptionDisplay([this](const std::exception& error) { ShowError(error); });
    FGate.SetOnIdle([this] { AfterHandlers(); });
    CreateControls();
    // A relay that fails while connected is reported from the event loop;
    // the window shows it at its handler boundary, never over a handler's
    // half-done work.
    if (TConnectionManager* manager = ConnectionManager())
        connect(manager, &TConnectionManager::NetworkError, this,
                [this](int, const QString& message) { NetworkErrorOccurred(message); });
    FormCreate(options.FirstArgument ? *options.FirstArgument
                                     : QCoreApplication::arguments().value(1));
}

TformMain::~TformMain() {
    // Nothing may reach the laser or a dialog once destruction has begun.
    FDestroying = true;
    timerPollLaser->stop();
    FFiringRow->AnimationDoneTimer()->stop();
    FPoll.reset();
    FMainCtrlMgr.reset();
    FMessenger.reset();
    FStatMgr.reset();
    QThread::yieldCurrentThread();
    // The laser goes before the windows: its shutdown sends "OF" and "SM0".
    FLaser.reset();
    SetExceptionDisplay({});
}

void TformMain::FormCreate(const QString& firstArgument) {
    // Numbers shown, typed and sent use "." whatever the user's locale; Qt
    // took the C library's numeric locale from the environment at start.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    // Both rows of the main toolbar have placed their controls by now.
    FMainCtrlMgr = std::make_unique<TCtrlMgr>(tbMainLaser);
    FOptionsBar->RecordDesign();
    ChainTabOrder({tbMainLaser, FOptionsBar->Bar()});
    FStatMgr = std::make_unique<TStatMgr>();
    try {
        FMessenger = std::make_unique<TIPCMessenger>();
    } catch (const std::exception& error) {
        FMessenger.reset();
        FDialogs->ShowMessage(QStringLiteral("IPC functionality not available: ") +
                              QString::fromLocal8Bit(error.what()));
    }
    FLaser = std::make_unique<TInHouseLaser>();
    FPoll = std::make_unique<TSafetyPoll>(*FLaser, FMessenger.get());
    setWindowTitle(ApplicationTitle());
    FClip = LoadClip(QStringLiteral("AVI_LASER"));
    FFiringRow->Animation()->SetClip(FClip);
    // The status-bit list and its label stay hidden for the whole run; the
    // window gives up their room.
    resize(width(), height() - (listStatusBits->height() + labelSystemStatus->height()));
    ReadCommandLine(firstArgument);
}

void TformMain::ReadCommandLine(const QString& argument) {
    if (argument.left(3).toUpper() == QLatin1String("LOG")) {
        if (TConnectionManager* manager = ConnectionManager())
            manager->SetTrace(true);
    }
    if (argument.left(4).toUpper() == QLatin1String("NET:"))
        FLaser->SetNetworkConnection(argument.mid(4, 60));
}

// ---- The handler boundary ---------------------------------------------------

bool TformMain::RunHandler(const std::function<void()>& body) {
    // A handler that arrives while another is at work (its dialog open, a
    // relay connect wait processing events) returns: the laser is in the
    // middle of something, and the operator's window is modal anyway.
    if (FCloseRequested || FDestroying)
        return false;
    return FGate.Run(body);
}

TNotifyEvent TformMain::Notify(void (TformMain::*handler)()) {
    return Notify([this, handler] { (this->*handler)(); });
}

TNotifyEvent TformMain::Notify(std::function<void()> handler) {
    return [this, handler = std::move(handler)](QObject* sender) {
        if (!RunHandler(handler))
            UndoDroppedClick(sender);
    };
}

void TformMain::UndoDroppedClick(QObject* sender) {
    // The control changed as the click landed, before its handler was asked;
    // nothing was sent, so it goes back to what it showed.
    if (auto* flip = qobject_cast<TSwitch*>(sender)) {
        flip->SetOn(!flip->On());
    } else if (auto* button = qobject_cast<TSpeedButton*>(sender)) {
        if (button->GroupIndex() > 0 && button->AllowAllUp())
            button->SetDown(!button->Down());
    } else if (FOptionsBar->IsApertureAdjuster(sender)) {
        FOptionsBar->ShowAperture(FLaser->ApertureHeight(), FLaser->ApertureWidth());
    }
}

void TformMain::AfterHandlers() {
    if (FGate.Busy() || FDestroying)
        return;
    if (FCloseRequested) {
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    if (!FNetworkErrors.isEmpty()) {
        // Each shown once the work in progress has returned, in order.
        const QString message = FNetworkErrors.takeFirst();
        RunHandler([this, message] {
            FDialogs->MessageBox(message, ApplicationTitle(), TMsgButtons::mbOK, TMsgIcon::miError);
        });
        return;
    }
    if (FInitPending) {
        FInitPending = false;
        PostLaserInit();
    }
}

void TformMain::NetworkErrorOccurred(const QString& message) {
    FNetworkErrors << message;
    AfterHandlers();
}

void TformMain::ShowError(const std::exception& error) {
    if (FDestroying)
        return;
    const auto* laserError = dynamic_cast<const ELaserError*>(&error);
    const QString text = laserError ? laserError->Message() : QString::fromLocal8Bit(error.what());
    // No handler runs under the message; poll ticks do.
    const THandlerGate::THold hold = FGate.Hold();
    FDialogs->MessageBox(text, ApplicationTitle(), TMsgButtons::mbOK, TMsgIcon::miError);
}

void TformMain::PostLaserInit() {
    QCoreApplication::postEvent(this, new QEvent(LaserInitEvent));
}

void TformMain::Terminate() {
    FTerminating = true;
    timerPollLaser->stop();
    QTimer::singleShot(0, this, [this] { close(); });
}

bool TformMain::event(QEvent* event) {
    if (event->type() == LaserInitEvent) {
        if (FGate.Busy())
            FInitPending = true; // runs once the work in progress has returned
        else
            RunHandler([this] { InitializeLaser(); });
        return true;
    }
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QMainWindow::event(event);
}

void TformMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Some platforms never activate a window (offscreen, X without a
    // window manager, Wayland); discovery still runs once it is shown.
    QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TformMain::FormActivate() {
    if (FTag != 0 || FGate.Busy() || FDestroying)
        return;
    // The flag goes up first: every modal box of the discovery activates the
    // window again when it closes.
    FTag = 1;
    RunHandler([this] {
        repaint();
        InitializeLaser();
    });
}

void TformMain::closeEvent(QCloseEvent* event) {
    if (FGate.Busy()) {
        // Closing inside a nested wait would destroy the window under the
        // handler that waits. Cancel its dialog; the window closes when the
        // handler has returned.
        FCloseRequested = true;
        FTerminating = true;
        timerPollLaser->stop();
        FDialogs->Abort();
        // A modal window of the program (the terminal) closes too, so that
        // it gives the ports back before the laser is switched off.
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            if (dialog && dialog->isVisible() && dialog->isModal())
                dialog->close();
        }
        event->ignore();
        return;
    }
    FTerminating = true;
    timerPollLaser->stop();
    FFiringRow->AnimationDoneTimer()->stop();
    event->accept();
}

// ---- Discovery --------------------------------------------------------------

QTimer* TformMain::AnimationDoneTimer() const {
    return FFiringRow->AnimationDoneTimer();
}

TAnimate* TformMain::Animation() const {
    return FFiringRow->Animation();
}

TLaserStatus TformMain::LastStatus() const {
    return FPoll->LastStatus();
}

void TformMain::ShowStatus(const QString& text) {
    FStatusPanel->ShowStatus(text);
}

bool TformMain::InitializeLaser() {
    timerPollLaser->stop();
    setWindowTitle(ApplicationTitle());
    ShowStatus(QStringLiteral("Looking for laser..."));
    bool found = false;
    try {
        found = FLaser->FindLaser();
        if (found)
            ShowStatus(QStringLiteral("Found laser on COM") +
                       QString::number(FLaser->PortNumber()));
        if (found)
            FPoll->LaserFound();
    } catch (const ELaserError& error) {
        found = false;
        ShowStatus(QStringLiteral("Problem finding laser!"));
        FDialogs->ShowMessage(error.Message());
    }

    enablerToolbar->SetRelativesEnabled(found);
    FOptionsBar->SetEnabled(found);
    if (found)
        timerPollLaser->start();
    else
        timerPollLaser->stop();
    enablerExtra->SetRelativesEnabled(found);
    FMenus->SetRecallEnabled(found);
    FMenus->SetLaserMenuEnabled(true);

    if (found) {
        ApplyFireMode(fmOneShot);
        ApplyRepRate(1);
        ApplyOutputLevel(10);
        ApplyWavelength(FLaser->Wavelength());
        FOptionsBar->SetApertureIncrement(0.4f);
        ApplyAperture(0, 0);
        ApplyOutputRange(erLow);
        ApplyXYTheta(float(FLaser->XYTheta()));
        ApplyPolarizerAngle(float(FLaser->PolarizerAngle()));
        if (FLaser->HasOption(loLED))
            ApplyMarkerLevel(50);
        LayoutForLaser();
        if (FLaser->GetDiodeCount() <= 0)
            ApplyPFNVoltage(50);
        else
            ApplyDiodeCurrent(0, 0);
        FMainCtrlMgr->Arrange();
        FOptionsBar->Arrange();
        ShowStatus(QStringLiteral("Laser initialized"));
        FPoll->Readouts().Setup(FLaser.get());
        FStatMgr->Setup(&FPoll->Readouts(), StatusBar1);
        setWindowTitle(ApplicationTitle() + QStringLiteral(" - ") + FLaser->GetLaserTypeName());
    } else {
        FOptionsBar->HideAperture();
        ShowStatus(QStringLiteral("Laser not found"));
        if (FDialogs->MessageBox(QStringLiteral("Laser failed to initialize"),
                                 QStringLiteral("ERROR"), TMsgButtons::mbRetryCancel,
                                 TMsgIcon::miExclamation) == TMsgResult::mrRetry)
            PostLaserInit();
    }
    return found;
}
