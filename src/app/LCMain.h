#pragma once

#include "app/Dialogs.h"
#include "app/LaserSettings.h"
#include "laser/LaserModel.h"
#include "laser/StatusTables.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QStatusBar;
class QTimer;
class TAnimate;
class TCVLaser;
class TCtrlMgr;
class TClip;
class TIPCMessenger;
class TKxAdjuster;
class TKxDropBtn;
class TKxEnabler;
class TKxFormManager;
class TKxIndicator;
class TKxSpeedButton;
class TKxUpDown;
class TSpeedButton;
class TStatMgr;
class TSwitch;
class TToolBar;
class TformAbout;
class TformTerminal;
class TGetNewVersion;

// What the program hands the main window at creation. Tests pass their own
// dialogs and command line; the program takes the real ones.
struct TMainOptions {
    // The first command-line argument; unset means the process's own.
    std::optional<QString> FirstArgument;
    // The dialogs; unset means the real Qt dialogs.
    std::unique_ptr<TDialogs> Dialogs;
};

// The main window: finds the laser, lays its controls out for it, polls it
// four times a second and turns the operator's actions into laser calls.
//
// Every handler runs at one boundary (RunHandler): an exception is shown by
// the application's exception display instead of unwinding through Qt, and a
// handler that arrives while another one is still at work (in a dialog, a
// relay connect wait) returns without touching the laser, its control put
// back as it was before the click. A re-discovery requested meanwhile waits
// its turn; a close request closes any open dialog as cancelled and ends the
// program once the work in progress has returned.
//
// The poll never waits for the operator: its ticks run inside every dialog
// a handler opens (TickMayRun has the rule), so a fault is stopped and the
// mailbox served while a prompt is up. A tick that finds the laser gone or
// its supply failed gives the laser up (TCVLaser::GiveUp): a handler whose
// prompt returns after that meets "No response from laser" instead of
// sending its value, and the discovery asked for runs after it has returned.
// Destroying the window destroys the laser object, which sends "OF" and
// "SM0".
class TformMain : public QMainWindow {
    Q_OBJECT
public:
    // The window's private message that re-runs discovery; always posted.
    static constexpr int WM_LASERINIT = 0x8400;
    static constexpr int PollInterval = 250;    // ms
    static constexpr int HelpContext = 10;      // the main window's help page
    static constexpr quint16 FaultMask = 0x54F; // FLOW TEMP EXT WORK START RESET BURST_LOCK

    explicit TformMain(TMainOptions options = {}, QWidget* parent = nullptr);
    ~TformMain() override;

    // ---- Operations -------------------------------------------------------
    virtual void SetFiring(bool on);
    // Finds and identifies the laser and lays the window out for it; true
    // when a laser was identified.
    virtual bool InitializeLaser();
    void ShowStatus(const QString& text);
    void PostLaserInit();

    void ApplyFireMode(TFireMode mode);
    // Shows the laser's firing mode and rate without sending anything.
    void ShowFireMode();
    void ApplyRepRate(float rate);
    void ApplyLaserEnabled(bool on);
    void ApplyOutputLevel(float percent);
    void ApplyPFNVoltage(float percent);
    void ApplyOutputRange(TOutputRange range);
    void ApplyDiodeCurrent(int index, float percent); // index 0: both diodes
    void ApplyMarkerLevel(float percent);
    void ApplyPulseWidth(bool longPulse);
    void ApplyWavelength(int wavelength);
    void ApplyAperture(float height, float width);
    void ApplyXYTheta(float degrees);
    void ApplyPolarizerAngle(float degrees);
    float GetDiodePercent(int index) const;

    // ---- Poll -------------------------------------------------------------
    // One poll tick, as the 250 ms timer runs it (tests call it directly).
    void timerPollLaserTimer();
    // Whether a tick may run now (MainPoll.cpp).
    bool TickMayRun() const;
    void timerAnimationDoneTimer();
    void UpdateIndicators(TLaserStatus status);
    void ServiceIPC();

    // ---- State, for the program's other windows and for tests -------------
    TCVLaser* Laser() const { return FLaser.get(); }
    TDialogs* Dialogs() const { return FDialogs.get(); }
    TStatMgr* StatMgr() const { return FStatMgr.get(); }
    TIPCMessenger* Messenger() const { return FMessenger.get(); }
    TLaserStatus LastStatus() const { return FLastStatus; }
    QTimer* PollTimer() const { return timerPollLaser; }
    QTimer* AnimationDoneTimer() const { return timerAnimationDone; }
    TAnimate* Animation() const { return animLaser; }
    // The new-version check of the Help menu, made on first use
    // (MainAbout.cpp).
    TGetNewVersion* NewVersionCheck();
    // 0 until discovery has run once on the first activation.
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }
    // True while a handler, the poll or discovery is at work.
    bool Busy() const { return FBusy > 0; }
    // Closing was asked for while a handler was at work; the window closes
    // once it has returned.
    bool CloseRequested() const { return FCloseRequested; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Construction (MainWindowBuild.cpp).
    void CreateControls();
    void CreateMenus();
    QWidget* CreateMainToolBar();
    QWidget* CreateOptionsToolBar();
    QWidget* CreateExtraToolBar();
    QWidget* CreateStatusPanel();
    void FormCreate(const QString& firstArgument);
    void ReadCommandLine(const QString& firstArgument);

    // The boundary of every handler (LCMain.cpp). False when the handler was
    // dropped because another one is at work.
    bool RunHandler(const std::function<void()>& body);
    // Wraps a handler for a control callback or a signal; a dropped click
    // leaves its control as it was before.
    std::function<void(QObject*)> Notify(void (TformMain::*handler)());
    std::function<void(QObject*)> Notify(std::function<void()> handler);
    void UndoDroppedClick(QObject* sender);
    void AfterHandlers();
    // A relay that failed while connected (from the connection manager).
    void NetworkErrorOccurred(const QString& message);

    // The tick's work, and its way out when the laser is not answering
    // (MainPoll.cpp).
    void PollLaser();
    void LaserNotResponding(bool stopTried);
    // After an unreadable status: "ST" when `sendStop` (best effort, else
    // left pending for the next discovery), and the fire button and
    // animation back at rest.
    void StopFiringAfterFault(bool sendStop);
    // The fire button shows firing the laser reports but the window did not
    // start (another program's "GO" in continuous mode), and goes back to
    // rest when that firing ends.
    void MirrorFiring(TLaserStatus status);
    // Fire button released, caption "Fire", animation stopped.
    void FireButtonAtRest();
    void FormActivate();
    void Terminate();
    void ShowError(const std::exception& error);

    // Feature-dependent layout (MainLayout.cpp).
    void LayoutForLaser();
    void SetToolbarsEnabled(bool enabled);

    // Handlers (MainFiring.cpp).
    void btnLaserOnOffClick();
    void btnLaserFireClick();
    void btnLaserModeClick();
    void menuLaserModeContClick();
    void menuLaserMode1ShotClick();
    void menuLaserModeBurstClick();
    void menuLaserModeBurstShotsClick();
    void btnRepRateClick();
    void updownRateUpClick();
    void updownRateDownClick();
    void menuInitialize1Click();
    void menuNetworkConnectClick();
    void menuHelpContentsClick();
    void menuConfigureClick();
    void Exit1Click();
    void PlaceholderClick(const QString& what);

    // Settings files (MainSettings.cpp).
    void SaveSettings1Click();
    void menuRecallSettings1Click();
    // The terminal window (MainTerminal.cpp).
    void Terminal1Click();
    // The about box and the new-version check (MainAbout.cpp).
    void About1Click();
    void menuCheckforNewVersion1Click();

    // Handlers (MainOutput.cpp).
    void btnEnergyClick();
    void updownEnergyUpClick();
    void updownEnergyDownClick();
    void btnVoltageClick();
    void updownPFNUpClick();
    void updownPFNDownClick();
    void DiodeCurrentClick(int index);
    void updownDiode1UpClick();
    void updownDiode1DownClick();
    void updownDiode2UpClick();
    void updownDiode2DownClick();
    void btnLEDClick();
    void updownLEDUpClick();
    void updownLEDDownClick();
    void switchEnergyModeClick();
    void btnWavelengthClick();
    void menuLaserIRClick();
    void menuLaserGreenClick();
    void menuLaserUVClick();
    void menuShortPulseClick();
    void menuLongPulseClick();
    void btnPulseWidthClick();
    void adjAperValueChange();
    void btnXYShutterRotationClick();
    void updownThetaUpClick();
    void updownThetaDownClick();
    void btnRotatingPolarizerClick();
    void updownRotatingPolarizerUpClick();
    void updownRotatingPolarizerDownClick();
    // A percentage prompt: "Invalid value" for text that is not a number or
    // a laser error inside the apply.
    void PromptPercent(const QString& caption, const QString& prompt, float current,
                       const std::function<void(float)>& apply);
    // An integer prompt with inclusive bounds: "Oops, invalid value".
    void PromptInteger(const QString& caption, const QString& prompt, int current, int low,
                       int high, const std::function<void(int)>& apply);

    // Captions that also keep the accessible name in step.
    static void SetButtonCaption(TSpeedButton* button, const QString& caption);
    static void SetDropCaption(TKxDropBtn* button, const QString& caption);
    // Checks a radio menu item, unchecking the others of its group. Only the
    // program checks these items: a click checks nothing by itself.
    static void CheckMenuItem(QAction* item);

    std::unique_ptr<TDialogs> FDialogs;
    TLaserStatus FLastStatus = 0;
    // A stop the broken line did not carry: sent once the laser is found again.
    bool FStopPending = false;
    // The laser refused the fault stop and the operator was told so; cleared
    // by the first tick whose stop goes through.
    bool FStopRefusalShown = false;
    // The fire button is down because the status said FIRE, not because the
    // operator fired.
    bool FFiringFromStatus = false;
    // Relay errors that arrived while a handler was at work.
    QStringList FNetworkErrors;
    std::unique_ptr<TCtrlMgr> FMainCtrlMgr;
    std::unique_ptr<TCtrlMgr> FOptionsCtrlMgr;
    std::unique_ptr<TStatMgr> FStatMgr;
    std::unique_ptr<TIPCMessenger> FMessenger;
    std::unique_ptr<TCVLaser> FLaser;
    std::shared_ptr<const TClip> FClip;
    TKxFormManager* FFormManager = nullptr;
    TformAbout* formAbout = nullptr;
    TformTerminal* formTerminal = nullptr;
    TGetNewVersion* GetNewVersion1 = nullptr;
    // The settings values between saves and recalls, and the folders the
    // two dialogs open in (empty: the executable's).
    TLaserSettings FSettings;
    QString FSettingsSaveFolder;
    QString FSettingsOpenFolder;
    int FTag = 0;
    int FBusy = 0;
    bool FInitPending = false;
    bool FCloseRequested = false;
    bool FTerminating = false;
    bool FDestroying = false;
    bool FActivationSeen = false;

    QList<QIcon> imglstMenus;

    // Menus.
    QMenu* menuFile = nullptr;
    QMenu* menuLaser = nullptr;
    QMenu* menuHelp = nullptr;
    QAction* menuSaveSettings = nullptr;
    QAction* menuRecallSettings = nullptr;
    QAction* Exit1 = nullptr;
    QAction* menuInitialize1 = nullptr;
    QAction* menuLaserShots = nullptr;
    QAction* menuNetworkConnect = nullptr;
    QAction* menuConfigure = nullptr;
    QAction* menuAbout = nullptr;
    QAction* menuHelpContents = nullptr;
    QAction* menuCheckVersion = nullptr;
    QAction* menuTerminal = nullptr;
    QMenu* dropdownModes = nullptr;
    QAction* menuLaserModeCont = nullptr;
    QAction* menuLaserMode1Shot = nullptr;
    QAction* menuLaserModeBurst = nullptr;
    QMenu* popupModeProps = nullptr;
    QAction* menuLaserModeBurstShots = nullptr;
    QMenu* dropdownWavelength = nullptr;
    QAction* menuLaserIR = nullptr;
    QAction* menuLaserGreen = nullptr;
    QAction* menuLaserUV = nullptr;
    QMenu* dropdownPulseWidths = nullptr;
    QAction* menuShortPulse = nullptr;
    QAction* menuLongPulse = nullptr;

    // Main toolbar, first row, then second row.
    TToolBar* tbMainLaser = nullptr;
    TSwitch* btnLaserOnOff = nullptr;
    TKxDropBtn* btnLaserMode = nullptr;
    TKxSpeedButton* btnRepRate = nullptr;
    TKxUpDown* updownRate = nullptr;
    TKxSpeedButton* btnVoltage = nullptr;
    TKxUpDown* updownPFN = nullptr;
    TKxDropBtn* btnPulseWidth = nullptr;
    TKxSpeedButton* btnDiode1 = nullptr;
    TKxUpDown* updownDiode1 = nullptr;
    TKxSpeedButton* btnDiode2 = nullptr;
    TKxUpDown* updownDiode2 = nullptr;
    TKxSpeedButton* btnEnergy = nullptr;
    TKxUpDown* updownEnergy = nullptr;
    TSwitch* switchEnergyMode = nullptr;
    TKxSpeedButton* btnLaserFire = nullptr;
    TAnimate* animLaser = nullptr;
    QWidget* sep1 = nullptr;
    QWidget* sep2 = nullptr;
    QWidget* sep3 = nullptr;
    QWidget* sep4 = nullptr;
    QWidget* sep5 = nullptr;
    QWidget* sep10 = nullptr;

    // Options toolbar.
    TToolBar* tbOptions = nullptr;
    TKxDropBtn* btnWavelength = nullptr;
    QWidget* sep6 = nullptr;
    QFrame* panelMarker = nullptr;
    TKxAdjuster* adjAperWidth = nullptr;
    TKxAdjuster* adjAperHeight = nullptr;
    TKxSpeedButton* btnMarkerLight = nullptr;
    QWidget* sep7 = nullptr;
    TKxSpeedButton* btnXYShutterRotation = nullptr;
    TKxUpDown* updownTheta = nullptr;
    TKxSpeedButton* btnRotatingPolarizer = nullptr;
    TKxUpDown* updownRotatingPolarizer = nullptr;
    QWidget* sep9 = nullptr;
    TKxSpeedButton* btnLED = nullptr;
    TKxUpDown* updownLED = nullptr;

    // Extra toolbar, never shown.
    QWidget* tbExtra = nullptr;
    TSwitch* swSerialControl = nullptr;

    TKxEnabler* enablerToolbar = nullptr;
    TKxEnabler* enablerOptions = nullptr;
    TKxEnabler* enablerExtra = nullptr;

    QListWidget* listStatusBits = nullptr;
    QLabel* labelSystemStatus = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QFrame* panelStatus = nullptr;
    TKxIndicator* indStart = nullptr;
    TKxIndicator* indFlow = nullptr;
    TKxIndicator* indTemp = nullptr;
    TKxIndicator* indExt = nullptr;
    TKxIndicator* indWork = nullptr;
    TKxIndicator* indBurstLock = nullptr;
    TKxIndicator* indCoolantLow = nullptr;
    QLabel* labelStatus = nullptr;

    QTimer* timerPollLaser = nullptr;
    QTimer* timerAnimationDone = nullptr;
};
