#pragma once

#include "controls/HandlerGate.h"
#include "controls/NotifyEvent.h"
#include "dialogs/Dialogs.h"
#include "laser/LaserModel.h"
#include "laser/StatusTables.h"
#include "session/LaserSettings.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QListWidget;
class QStatusBar;
class QTimer;
class TAnimate;
class TCVLaser;
class TCtrlMgr;
class TClip;
class TFiringRow;
class TGetNewVersion;
class TIPCMessenger;
class TKxEnabler;
class TKxFormManager;
class TMainMenus;
class TOptionsBar;
class TOutputRow;
class TSafetyPoll;
class TStatMgr;
class TStatusPanel;
class TSwitch;
class TToolBar;
class TformAbout;
class TformTerminal;

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
    static constexpr int PollInterval = 250; // ms

    explicit TformMain(TMainOptions options = {}, QWidget* parent = nullptr);
    ~TformMain() override;

    // ---- Operations -------------------------------------------------------
    // Each Apply... sets the laser through its setter (one exchange or more;
    // the laser clamps the value to its range and ignores what it lacks) and
    // then shows what the laser holds. Percent values are 0..100, rounded
    // by the laser to its own steps; rates and angles are rounded to whole
    // numbers, halves to even, and nothing is sent when the rounded value
    // is what the laser holds. A laser error (ELaserError) propagates with
    // the display left as before the failing call; a laser given up by the
    // poll raises "No response from laser" without sending.

    // Off: "ST", the fire button at rest. On: by the laser's mode (the
    // button pressed with the animation for continuous firing and for a
    // burst long enough to animate), then "SH1" where the laser has a
    // shutter, and "GO".
    virtual void SetFiring(bool on);
    // Finds and identifies the laser and lays the window out for it; true
    // when a laser was identified. Not found: "Laser failed to initialize"
    // with Retry (posted rediscovery) or Cancel.
    virtual bool InitializeLaser();
    // The status text, painted at once.
    void ShowStatus(const QString& text);
    void PostLaserInit();

    // "MOn" (lasers of family A also change their rate); the mode button,
    // its menu check, the rate controls (disabled in one-shot) and the rate.
    void ApplyFireMode(TFireMode mode);
    // Shows the laser's firing mode and rate without sending anything.
    void ShowFireMode();
    // Hz; the laser clamps to its range.
    void ApplyRepRate(float rate);
    // "ON"/"OF" (an unidentified laser is identified first); the switch
    // then shows what the laser reports, not what was asked.
    void ApplyLaserEnabled(bool on);
    // Attenuator, percent; ignored without one.
    void ApplyOutputLevel(float percent);
    // PFN voltage, percent; on a diode laser it sets both diode currents.
    void ApplyPFNVoltage(float percent);
    // Stops firing first ("ST"); "ENL"/"ENH" and the harmonic set.
    void ApplyOutputRange(TOutputRange range);
    // Diode `index` (1, 2; 0 both), percent; ignored without diodes.
    void ApplyDiodeCurrent(int index, float percent);
    // Illuminator, percent.
    void ApplyMarkerLevel(float percent);
    void ApplyPulseWidth(bool longPulse);
    // Stops firing first; without harmonic sets nothing more. Throws
    // std::logic_error "Unsupported wavelength" for an ordinal the laser
    // has no name for.
    void ApplyWavelength(int wavelength);
    // Percent of each blade's travel; one width and one height command.
    void ApplyAperture(float height, float width);
    // Degrees, -90..90 in the window's prompt and arrows only.
    void ApplyXYTheta(float degrees);
    // Degrees, 0..180, even; the laser limits it.
    void ApplyPolarizerAngle(float degrees);
    float GetDiodePercent(int index) const;

    // ---- Poll -------------------------------------------------------------
    // One poll tick, as the 250 ms timer runs it (tests call it directly).
    void timerPollLaserTimer();
    // Whether a tick may run now (MainPoll.cpp).
    bool TickMayRun() const;
    void timerAnimationDoneTimer();
    void UpdateIndicators(TLaserStatus status);

    // ---- State, for the program's other windows and for tests -------------
    TCVLaser* Laser() const { return FLaser.get(); }
    TDialogs* Dialogs() const { return FDialogs.get(); }
    TStatMgr* StatMgr() const { return FStatMgr.get(); }
    TIPCMessenger* Messenger() const { return FMessenger.get(); }
    TLaserStatus LastStatus() const;
    QTimer* PollTimer() const { return timerPollLaser; }
    QTimer* AnimationDoneTimer() const;
    TAnimate* Animation() const;
    // The new-version check of the Help menu, made on first use
    // (MainAbout.cpp).
    TGetNewVersion* NewVersionCheck();
    // 0 until discovery has run once on the first activation.
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }
    // True while a handler, the poll or discovery is at work.
    bool Busy() const { return FGate.Busy(); }
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
    QWidget* CreateMainToolBar();
    QWidget* CreateExtraToolBar();
    void FormCreate(const QString& firstArgument);
    void ReadCommandLine(const QString& firstArgument);

    // The boundary of every handler (LCMain.cpp). False when the handler was
    // dropped because another one is at work.
    bool RunHandler(const std::function<void()>& body);
    // Wraps a handler for a control callback, a menu item or a signal; a
    // dropped click leaves its control as it was before.
    TNotifyEvent Notify(void (TformMain::*handler)());
    TNotifyEvent Notify(std::function<void()> handler);
    void UndoDroppedClick(QObject* sender);
    void AfterHandlers();
    // A relay that failed while connected (from the connection manager).
    void NetworkErrorOccurred(const QString& message);

    // The tick's work: the safety poll, then what the window shows of it
    // (MainPoll.cpp).
    void PollLaser();
    void FormActivate();
    void Terminate();
    void ShowError(const std::exception& error);

    // Feature-dependent layout (MainLayout.cpp).
    void LayoutForLaser();

    // Handlers (MainFiring.cpp).
    void btnLaserOnOffClick();
    void btnLaserFireClick();
    void shortcutStopActivated();
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

    std::unique_ptr<TDialogs> FDialogs;
    std::unique_ptr<TCtrlMgr> FMainCtrlMgr;
    std::unique_ptr<TStatMgr> FStatMgr;
    std::unique_ptr<TIPCMessenger> FMessenger;
    std::unique_ptr<TCVLaser> FLaser;
    std::unique_ptr<TSafetyPoll> FPoll;
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
    THandlerGate FGate;
    bool FInitPending = false;
    bool FCloseRequested = false;
    bool FTerminating = false;
    bool FDestroying = false;
    // Relay errors that arrived while a handler was at work.
    QStringList FNetworkErrors;

    // The bars and panels; each owns its controls.
    std::unique_ptr<TMainMenus> FMenus;
    std::unique_ptr<TFiringRow> FFiringRow;
    std::unique_ptr<TOutputRow> FOutputRow;
    std::unique_ptr<TOptionsBar> FOptionsBar;
    std::unique_ptr<TStatusPanel> FStatusPanel;
    // The main toolbar holds the firing and the output rows.
    TToolBar* tbMainLaser = nullptr;
    TKxEnabler* enablerToolbar = nullptr;
    // Serial or remote-box control: never shown.
    QWidget* tbExtra = nullptr;
    TKxEnabler* enablerExtra = nullptr;
    QListWidget* listStatusBits = nullptr;
    QLabel* labelSystemStatus = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QTimer* timerPollLaser = nullptr;
};
