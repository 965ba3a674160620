// The main window composed of its bars and panels, built once at creation;
// each bar's events go through the window's handler boundary (Notify).
#include "app/LCMain.h"

#include "app/HelpContext.h"
#include "app/toolbars/BarControls.h"
#include "app/toolbars/FiringRow.h"
#include "app/toolbars/MainMenus.h"
#include "app/toolbars/MenuImages.h"
#include "app/toolbars/OptionsBar.h"
#include "app/toolbars/OutputRow.h"
#include "app/toolbars/StatusPanel.h"
#include "app/toolbars/ToolBar.h"
#include "controls/KxEnabler.h"
#include "controls/KxFormManager.h"
#include "controls/KxSpeedButton.h"
#include "controls/Switch.h"
#include "dialogs/PlainText.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

void TformMain::CreateControls() {
    setObjectName(QStringLiteral("formMain"));
    setWindowIcon(AppIcon());
    bars::SetHelpContext(this, hcMainWindow);

    timerPollLaser = new QTimer(this);
    timerPollLaser->setObjectName(QStringLiteral("timerPollLaser"));
    timerPollLaser->setInterval(PollInterval);
    connect(timerPollLaser, &QTimer::timeout, this, [this] { timerPollLaserTimer(); });

    FFormManager = new TKxFormManager(this);
    TMainMenus::THandlers menus;
    menus.SaveSettings1Click = Notify(&TformMain::SaveSettings1Click);
    menus.menuRecallSettings1Click = Notify(&TformMain::menuRecallSettings1Click);
    menus.Exit1Click = Notify(&TformMain::Exit1Click);
    menus.menuInitialize1Click = Notify(&TformMain::menuInitialize1Click);
    menus.menuLaserModeBurstShotsClick = Notify(&TformMain::menuLaserModeBurstShotsClick);
    menus.menuNetworkConnectClick = Notify(&TformMain::menuNetworkConnectClick);
    menus.menuConfigureClick = Notify(&TformMain::menuConfigureClick);
    menus.About1Click = Notify(&TformMain::About1Click);
    menus.menuHelpContentsClick = Notify(&TformMain::menuHelpContentsClick);
    menus.menuCheckforNewVersion1Click = Notify(&TformMain::menuCheckforNewVersion1Click);
    menus.Terminal1Click = Notify(&TformMain::Terminal1Click);
    menus.menuLaserModeContClick = Notify(&TformMain::menuLaserModeContClick);
    menus.menuLaserMode1ShotClick = Notify(&TformMain::menuLaserMode1ShotClick);
    menus.menuLaserModeBurstClick = Notify(&TformMain::menuLaserModeBurstClick);
    menus.menuLaserIRClick = Notify(&TformMain::menuLaserIRClick);
    menus.menuLaserGreenClick = Notify(&TformMain::menuLaserGreenClick);
    menus.menuLaserUVClick = Notify(&TformMain::menuLaserUVClick);
    menus.menuShortPulseClick = Notify(&TformMain::menuShortPulseClick);
    menus.menuLongPulseClick = Notify(&TformMain::menuLongPulseClick);
    FMenus = std::make_unique<TMainMenus>(this, menus);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    TOptionsBar::THandlers options;
    options.btnWavelengthClick = Notify(&TformMain::btnWavelengthClick);
    options.adjAperValueChange = Notify(&TformMain::adjAperValueChange);
    options.btnXYShutterRotationClick = Notify(&TformMain::btnXYShutterRotationClick);
    options.updownThetaUpClick = Notify(&TformMain::updownThetaUpClick);
    options.updownThetaDownClick = Notify(&TformMain::updownThetaDownClick);
    options.btnRotatingPolarizerClick = Notify(&TformMain::btnRotatingPolarizerClick);
    options.updownRotatingPolarizerUpClick = Notify(&TformMain::updownRotatingPolarizerUpClick);
    options.updownRotatingPolarizerDownClick = Notify(&TformMain::updownRotatingPolarizerDownClick);
    options.btnLEDClick = Notify(&TformMain::btnLEDClick);
    options.updownLEDUpClick = Notify(&TformMain::updownLEDUpClick);
    options.updownLEDDownClick = Notify(&TformMain::updownLEDDownClick);

    // The cool bar: the toolbars in their bands, scrolled rather than
    // squeezed when the window is at its smallest.
    auto* coolBar = new QWidget;
    coolBar->setObjectName(QStringLiteral("CoolBar1"));
    auto* bands = new QVBoxLayout(coolBar);
    bands->setContentsMargins(2, 2, 2, 2);
    bands->setSpacing(2);
    bands->addWidget(CreateMainToolBar());
    FOptionsBar = std::make_unique<TOptionsBar>(this, *FMenus, options);
    bands->addWidget(FOptionsBar->Bar());
    bands->addWidget(CreateExtraToolBar());
    bands->addStretch(1);
    auto* scroller = new QScrollArea;
    // A click on the bars' background still takes the focus (and so ends
    // typing in a field); the Tab key goes to the controls only.
    scroller->setFocusPolicy(Qt::ClickFocus);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setWidget(coolBar);
    column->addWidget(scroller, 1);

    listStatusBits = new QListWidget(central);
    listStatusBits->setObjectName(QStringLiteral("listStatusBits"));
    listStatusBits->setFixedHeight(80);
    listStatusBits->hide();
    labelSystemStatus = new QLabel(QStringLiteral("System Status"), central);
    labelSystemStatus->setObjectName(QStringLiteral("labelSystemStatus"));
    labelSystemStatus->setFixedHeight(13);
    labelSystemStatus->hide();
    column->addWidget(labelSystemStatus);
    column->addWidget(listStatusBits);

    StatusBar1 = new QStatusBar(central);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    bars::SetHelpContext(StatusBar1, hcStatusBar);
    column->addWidget(StatusBar1);
    FStatusPanel = std::make_unique<TStatusPanel>();
    column->addWidget(FStatusPanel->Panel());
    setCentralWidget(central);

    // The stop key: Escape stops firing wherever the focus is in the
    // window, as the fire button's second click does.
    auto* shortcutStop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    shortcutStop->setObjectName(QStringLiteral("shortcutStop"));
    connect(
        shortcutStop, &QShortcut::activated, this,
        [stop = Notify(&TformMain::shortcutStopActivated), shortcutStop] { stop(shortcutStop); });

    enablerToolbar = new TKxEnabler(this);
    enablerToolbar->SetParent(tbMainLaser);
    enablerExtra = new TKxEnabler(this);
    enablerExtra->SetParent(tbExtra);

    // A window with a minimize box but no maximize box.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setMinimumSize(480, 170);
    // The design size, grown to what the desktop's font needs.
    const QSize needed = sizeHint();
    resize(qMax(545, needed.width()),
           qMax(371, needed.height() + listStatusBits->height() + labelSystemStatus->height()));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

QWidget* TformMain::CreateMainToolBar() {
    tbMainLaser = new TToolBar;
    tbMainLaser->setObjectName(QStringLiteral("tbMainLaser"));
    tbMainLaser->setAccessibleName(QStringLiteral("Laser"));
    tbMainLaser->SetRowHeight(bars::RowHeight);
    tbMainLaser->setMinimumHeight(107 - 7);

    TFiringRow::THandlers firing;
    firing.btnLaserOnOffClick = Notify(&TformMain::btnLaserOnOffClick);
    firing.btnLaserModeClick = Notify(&TformMain::btnLaserModeClick);
    firing.btnRepRateClick = Notify(&TformMain::btnRepRateClick);
    firing.updownRateUpClick = Notify(&TformMain::updownRateUpClick);
    firing.updownRateDownClick = Notify(&TformMain::updownRateDownClick);
    firing.btnPulseWidthClick = Notify(&TformMain::btnPulseWidthClick);
    firing.btnLaserFireClick = Notify(&TformMain::btnLaserFireClick);
    firing.timerAnimationDoneTimer = [this] { timerAnimationDoneTimer(); };
    FFiringRow = std::make_unique<TFiringRow>(tbMainLaser, *FMenus, firing);

    TOutputRow::THandlers output;
    output.btnVoltageClick = Notify(&TformMain::btnVoltageClick);
    output.updownPFNUpClick = Notify(&TformMain::updownPFNUpClick);
    output.updownPFNDownClick = Notify(&TformMain::updownPFNDownClick);
    output.btnDiode1Click = Notify([this] { DiodeCurrentClick(1); });
    output.updownDiode1UpClick = Notify(&TformMain::updownDiode1UpClick);
    output.updownDiode1DownClick = Notify(&TformMain::updownDiode1DownClick);
    output.btnDiode2Click = Notify([this] { DiodeCurrentClick(2); });
    output.updownDiode2UpClick = Notify(&TformMain::updownDiode2UpClick);
    output.updownDiode2DownClick = Notify(&TformMain::updownDiode2DownClick);
    output.btnEnergyClick = Notify(&TformMain::btnEnergyClick);
    output.updownEnergyUpClick = Notify(&TformMain::updownEnergyUpClick);
    output.updownEnergyDownClick = Notify(&TformMain::updownEnergyDownClick);
    output.switchEnergyModeClick = Notify(&TformMain::switchEnergyModeClick);
    FOutputRow = std::make_unique<TOutputRow>(tbMainLaser, output);

    // Design positions: the first row ends with sep10, the second holds the
    // output controls and the fire button.
    bars::TRowPlacer first(0);
    FFiringRow->PlaceLead(first);
    FOutputRow->PlaceVoltage(first);
    FFiringRow->PlacePulseWidth(first);
    bars::TRowPlacer second(bars::RowHeight);
    FOutputRow->PlaceSecondRow(second);
    FFiringRow->PlaceFire(second);
    return tbMainLaser;
}

QWidget* TformMain::CreateExtraToolBar() {
    // Serial or remote-box control: set once by the laser, never offered.
    tbExtra = new QWidget;
    tbExtra->setObjectName(QStringLiteral("tbExtra"));
    auto* row = new QHBoxLayout(tbExtra);
    row->addWidget(new QLabel(QStringLiteral("Serial"), tbExtra));
    auto* swSerialControl = new TSwitch(tbExtra);
    swSerialControl->setObjectName(QStringLiteral("swSerialControl"));
    swSerialControl->SetOn(true);
    swSerialControl->SetHint(PlainLines(QStringLiteral(
        "Switch between serial (RS232) control\r\nand remote box (direct) control.")));
    row->addWidget(swSerialControl);
    row->addWidget(new QLabel(QStringLiteral("Remote"), tbExtra));
    auto* configure = new TKxSpeedButton(tbExtra);
    configure->setObjectName(QStringLiteral("btnConfigure"));
    configure->SetCaption(QStringLiteral("Configure"));
    configure->SetOnClick(Notify(&TformMain::menuConfigureClick));
    row->addWidget(configure);
    tbExtra->hide();
    return tbExtra;
}
