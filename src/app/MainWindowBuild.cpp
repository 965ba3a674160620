// The main window's controls, menus and panels, built once at creation with
// their design captions, hints and positions.
#include "app/LCMain.h"

#include "app/CaptionGlyph.h"
#include "app/MenuImages.h"
#include "app/ToolBar.h"
#include "controls/Animate.h"
#include "controls/ExceptionDisplay.h"
#include "controls/KxAdjuster.h"
#include "controls/KxDropBtn.h"
#include "controls/KxEnabler.h"
#include "controls/KxFormManager.h"
#include "controls/KxIndicator.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "controls/Switch.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int RowHeight = 50;
constexpr int ArrowWidth = 16;

// The help context of a control, read by the help key.
void SetHelpContext(QWidget* control, int context) {
    control->setProperty("helpContext", context);
}

QString StripMnemonic(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text;
}

// The accessible name follows the caption, or the hint where there is none;
// the hint is the description.
void SetAccessible(QWidget* control, const QString& caption) {
    const QString hint = control->toolTip();
    control->setAccessibleName(caption.isEmpty() ? hint : StripMnemonic(caption));
    control->setAccessibleDescription(hint);
}

int TextWidth(const QWidget* control, const QString& sample) {
    return control->fontMetrics().horizontalAdvance(sample);
}

// Places toolbar controls one after another in a design row.
class TRowPlacer {
public:
    TRowPlacer(int top) : FTop(top) {}
    void Put(QWidget* control, int gap = 0) {
        FX += gap;
        control->move(FX, FTop);
        FX += control->width();
    }

private:
    int FTop;
    int FX = 0;
};

} // namespace

void TformMain::SetButtonCaption(TSpeedButton* button, const QString& caption) {
    button->SetCaption(caption);
    SetAccessible(button, caption);
}

void TformMain::SetDropCaption(TKxDropBtn* button, const QString& caption) {
    button->SetCaption(caption);
    button->BtnMain()->setAccessibleName(StripMnemonic(caption));
    SetAccessible(button, caption);
}

namespace {

// The group property naming the item the program checked last.
const char* const CheckedItemProperty = "checkedItem";

// Puts the check of a radio group back where the program left it.
void RestoreMenuCheck(QActionGroup* group) {
    auto* item = qobject_cast<QAction*>(group->property(CheckedItemProperty).value<QObject*>());
    if (item)
        item->setChecked(true);
    else if (QAction* checked = group->checkedAction())
        checked->setChecked(false);
}

} // namespace

void TformMain::CheckMenuItem(QAction* item) {
    item->setChecked(true);
    if (QActionGroup* group = item->actionGroup())
        group->setProperty(CheckedItemProperty, QVariant::fromValue<QObject*>(item));
}

namespace {

TKxSpeedButton* MakeButton(QWidget* bar, const char* name, const QString& caption,
                           const QString& hint, const QString& widest) {
    auto* button = new TKxSpeedButton(bar);
    button->setObjectName(QLatin1String(name));
    button->SetFlat(true);
    button->SetHint(PlainLines(hint));
    button->SetCaption(caption);
    SetAccessible(button, caption);
    const int width = qMax(56, TextWidth(button, widest) + 14);
    button->resize(width, RowHeight);
    return button;
}

TKxUpDown* MakeUpDown(QWidget* bar, const char* name, const QString& hint, int helpContext) {
    auto* updown = new TKxUpDown(bar);
    updown->setObjectName(QLatin1String(name));
    updown->SetHint(PlainLines(hint));
    SetAccessible(updown, QString());
    updown->BtnUp()->setAccessibleName(hint + QStringLiteral(": up"));
    updown->BtnDown()->setAccessibleName(hint + QStringLiteral(": down"));
    if (helpContext)
        SetHelpContext(updown, helpContext);
    updown->SetBounds(0, 0, ArrowWidth, RowHeight);
    return updown;
}

TKxDropBtn* MakeDropButton(QWidget* bar, const char* name, const QString& caption,
                           const QString& hint, QMenu* menu, const QString& widest) {
    auto* button = new TKxDropBtn(bar);
    button->setObjectName(QLatin1String(name));
    button->SetHint(PlainLines(hint));
    button->BtnMain()->SetHint(PlainLines(hint));
    button->SetDropDownMenu(menu);
    button->SetCaption(caption);
    button->BtnMain()->SetGlyphSize(QSize(24, 24));
    SetAccessible(button, caption);
    button->BtnDown()->setAccessibleName(QStringLiteral("Choose from list"));
    const int width = qMax(64, TextWidth(button, widest) + 14 + 12);
    button->SetBounds(0, 0, width, RowHeight);
    return button;
}

QWidget* MakeSeparator(QWidget* bar, const char* name) {
    auto* separator = new TToolSeparator(bar);
    separator->setObjectName(QLatin1String(name));
    separator->resize(separator->sizeHint().width(), RowHeight);
    return separator;
}

TKxIndicator* MakeIndicator(QWidget* panel, const char* name, const QString& caption,
                            TColor onColor, const QString& hint) {
    auto* indicator = new TKxIndicator(panel);
    indicator->setObjectName(QLatin1String(name));
    indicator->SetCaption(caption);
    indicator->SetOnColor(onColor);
    indicator->SetOffColor(clGray);
    indicator->SetHint(PlainLines(hint));
    SetAccessible(indicator, caption);
    return indicator;
}

} // namespace

void TformMain::CreateControls() {
    setObjectName(QStringLiteral("formMain"));
    setWindowIcon(AppIcon());
    imglstMenus = MenuImages();
    SetHelpContext(this, HelpContext);

    timerPollLaser = new QTimer(this);
    timerPollLaser->setObjectName(QStringLiteral("timerPollLaser"));
    timerPollLaser->setInterval(PollInterval);
    connect(timerPollLaser, &QTimer::timeout, this, [this] { timerPollLaserTimer(); });
    timerAnimationDone = new QTimer(this);
    timerAnimationDone->setObjectName(QStringLiteral("timerAnimationDone"));
    timerAnimationDone->setSingleShot(true);
    timerAnimationDone->setTimerType(Qt::PreciseTimer);
    connect(timerAnimationDone, &QTimer::timeout, this,
            [this] { RunShowingExceptions([this] { timerAnimationDoneTimer(); }); });

    FFormManager = new TKxFormManager(this);
    CreateMenus();

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The cool bar: the toolbars in their bands, scrolled rather than
    // squeezed when the window is at its smallest.
    auto* coolBar = new QWidget;
    coolBar->setObjectName(QStringLiteral("CoolBar1"));
    auto* bands = new QVBoxLayout(coolBar);
    bands->setContentsMargins(2, 2, 2, 2);
    bands->setSpacing(2);
    bands->addWidget(CreateMainToolBar());
    bands->addWidget(CreateOptionsToolBar());
    bands->addWidget(CreateExtraToolBar());
    bands->addStretch(1);
    auto* scroller = new QScrollArea;
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
    SetHelpContext(StatusBar1, 1075);
    column->addWidget(StatusBar1);
    column->addWidget(CreateStatusPanel());
    setCentralWidget(central);

    enablerToolbar = new TKxEnabler(this);
    enablerToolbar->SetParent(tbMainLaser);
    enablerOptions = new TKxEnabler(this);
    enablerOptions->SetParent(tbOptions);
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

void TformMain::CreateMenus() {
    auto action = [this](QMenu* menu, const char* name, const QString& text,
                         void (TformMain::*handler)()) {
        QAction* item = menu->addAction(text);
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, this,
                [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); });
        return item;
    };
    menuFile = menuBar()->addMenu(QStringLiteral("&File"));
    menuFile->setObjectName(QStringLiteral("menuFile"));
    menuSaveSettings = action(menuFile, "menuSaveSettings", QStringLiteral("Save Settings..."),
                              &TformMain::SaveSettings1Click);
    menuRecallSettings =
        action(menuFile, "menuRecallSettings", QStringLiteral("Recall Settings..."),
               &TformMain::menuRecallSettings1Click);
    menuFile->addSeparator();
    Exit1 = action(menuFile, "Exit1", QStringLiteral("E&xit"), &TformMain::Exit1Click);

    menuLaser = menuBar()->addMenu(QStringLiteral("&Laser"));
    menuLaser->setObjectName(QStringLiteral("menuLaser"));
    menuInitialize1 = action(menuLaser, "menuInitialize1", QStringLiteral("&Initialize"),
                             &TformMain::menuInitialize1Click);
    menuLaserShots = action(menuLaser, "menuLaserShots", QStringLiteral("Shots per Burst..."),
                            &TformMain::menuLaserModeBurstShotsClick);
    menuLaserShots->setIcon(imglstMenus.value(miShotsPerBurst));
    menuNetworkConnect =
        action(menuLaser, "menuNetworkConnect", QStringLiteral("Connect Over Network..."),
               &TformMain::menuNetworkConnectClick);
    menuNetworkConnect->setIcon(imglstMenus.value(miNetwork));
    menuLaser->addSeparator();
    menuConfigure = action(menuLaser, "menuConfigure", QStringLiteral("&Configure Controller..."),
                           &TformMain::menuConfigureClick);
    menuConfigure->setVisible(false);

    menuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    menuHelp->setObjectName(QStringLiteral("menuHelp"));
    menuAbout = action(menuHelp, "menuAbout", QStringLiteral("About..."), &TformMain::About1Click);
    menuHelpContents = action(menuHelp, "menuHelpContents", QStringLiteral("Contents"),
                              &TformMain::menuHelpContentsClick);
    menuHelpContents->setShortcut(QKeySequence::HelpContents);
    menuHelp->addSeparator();
    menuCheckVersion =
        action(menuHelp, "menuCheckVersion", QStringLiteral("Check for New Version..."),
               &TformMain::menuCheckforNewVersion1Click);
    menuHelp->addSeparator();
    menuTerminal = action(menuHelp, "menuTerminal", QStringLiteral("&Terminal..."),
                          &TformMain::Terminal1Click);

    // The drop-down and context menus of the toolbar buttons.
    // Qt checks a clicked radio item before its handler runs. The check is
    // taken back at once and the handler checks the item that shows the
    // laser's state, so a choice the laser refuses or ignores (a wavelength
    // without harmonic sets) leaves the check where it was.
    auto radio = [&](QMenu* menu, QActionGroup* group, const char* name, const QString& text,
                     int image, void (TformMain::*handler)()) {
        QAction* item = menu->addAction(text);
        item->setObjectName(QLatin1String(name));
        item->setCheckable(true);
        item->setIcon(imglstMenus.value(image));
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, group, handler] {
            RestoreMenuCheck(group);
            RunHandler([this, handler] { (this->*handler)(); });
        });
        return item;
    };
    dropdownModes = new QMenu(this);
    dropdownModes->setObjectName(QStringLiteral("dropdownModes"));
    auto* modes = new QActionGroup(dropdownModes);
    menuLaserModeCont =
        radio(dropdownModes, modes, "menuLaserModeCont", QStringLiteral("&Continuous"),
              miContinuous, &TformMain::menuLaserModeContClick);
    menuLaserMode1Shot =
        radio(dropdownModes, modes, "menuLaserMode1Shot", QStringLiteral("&Single Shot"),
              miSingleShot, &TformMain::menuLaserMode1ShotClick);
    menuLaserModeBurst = radio(dropdownModes, modes, "menuLaserModeBurst", QStringLiteral("&Burst"),
                               miBurst, &TformMain::menuLaserModeBurstClick);
    CheckMenuItem(menuLaserModeCont);

    popupModeProps = new QMenu(this);
    popupModeProps->setObjectName(QStringLiteral("popupModeProps"));
    menuLaserModeBurstShots =
        action(popupModeProps, "menuLaserModeBurstShots", QStringLiteral("&Shots Per Burst..."),
               &TformMain::menuLaserModeBurstShotsClick);
    menuLaserModeBurstShots->setIcon(imglstMenus.value(miShotsPerBurst));

    dropdownWavelength = new QMenu(this);
    dropdownWavelength->setObjectName(QStringLiteral("dropdownWavelength"));
    auto* wavelengths = new QActionGroup(dropdownWavelength);
    menuLaserIR = radio(dropdownWavelength, wavelengths, "menuLaserIR", QStringLiteral("IR"), miIR,
                        &TformMain::menuLaserIRClick);
    menuLaserGreen = radio(dropdownWavelength, wavelengths, "menuLaserGreen",
                           QStringLiteral("Green"), miGreen, &TformMain::menuLaserGreenClick);
    menuLaserUV = radio(dropdownWavelength, wavelengths, "menuLaserUV", QStringLiteral("UV"), miUV,
                        &TformMain::menuLaserUVClick);

    dropdownPulseWidths = new QMenu(this);
    dropdownPulseWidths->setObjectName(QStringLiteral("dropdownPulseWidths"));
    auto* widths = new QActionGroup(dropdownPulseWidths);
    menuShortPulse =
        radio(dropdownPulseWidths, widths, "menuShortPulse", QStringLiteral("Short Pulse"),
              miShortPulse, &TformMain::menuShortPulseClick);
    menuLongPulse =
        radio(dropdownPulseWidths, widths, "menuLongPulse", QStringLiteral("Long Pulse"),
              miLongPulse, &TformMain::menuLongPulseClick);
    CheckMenuItem(menuShortPulse);
}

QWidget* TformMain::CreateMainToolBar() {
    tbMainLaser = new TToolBar;
    tbMainLaser->setObjectName(QStringLiteral("tbMainLaser"));
    tbMainLaser->SetRowHeight(RowHeight);
    tbMainLaser->setMinimumHeight(107 - 7);
    QWidget* bar = tbMainLaser;

    btnLaserOnOff = new TSwitch(bar);
    btnLaserOnOff->setObjectName(QStringLiteral("btnLaserOnOff"));
    btnLaserOnOff->SetHint(QStringLiteral("Laser power supply enable switch"));
    SetAccessible(btnLaserOnOff, QString());
    SetHelpContext(btnLaserOnOff, 1000);
    btnLaserOnOff->resize(qMax(40, btnLaserOnOff->sizeHint().width()), RowHeight);
    btnLaserOnOff->SetOnClick(Notify(&TformMain::btnLaserOnOffClick));
    sep1 = MakeSeparator(bar, "sep1");

    btnLaserMode = MakeDropButton(bar, "btnLaserMode", QStringLiteral("Continuous"),
                                  QStringLiteral("Set laser firing mode\r\n(Right-click to "
                                                 "change burst count)"),
                                  dropdownModes, QStringLiteral("Single Shot"));
    btnLaserMode->SetDropHint(QStringLiteral("Select firing mode from list"));
    btnLaserMode->SetPopupMenu(popupModeProps);
    btnLaserMode->BtnMain()->SetGroupIndex(0);
    btnLaserMode->SetWidth(
        qMax(btnLaserMode->width(), TextWidth(btnLaserMode, QStringLiteral("Burst (4000)")) + 26));
    SetHelpContext(btnLaserMode, 1010);
    btnLaserMode->SetOnClick(Notify(&TformMain::btnLaserModeClick));
    sep2 = MakeSeparator(bar, "sep2");

    btnRepRate = MakeButton(bar, "btnRepRate", QStringLiteral("rate ?"),
                            QStringLiteral("Change laser firing rate"), QStringLiteral("20000 Hz"));
    SetCaptionGlyph(btnRepRate, QStringLiteral("Rate"));
    btnRepRate->SetOnClick(Notify(&TformMain::btnRepRateClick));
    updownRate = MakeUpDown(bar, "updownRate", QStringLiteral("Adjust laser rate"), 1030);
    updownRate->SetOnUpClick(Notify(&TformMain::updownRateUpClick));
    updownRate->SetOnDownClick(Notify(&TformMain::updownRateDownClick));
    sep3 = MakeSeparator(bar, "sep3");

    btnVoltage = MakeButton(bar, "btnVoltage", QStringLiteral("PFN ?"),
                            QStringLiteral("Set PFN voltage"), QStringLiteral("100.0%"));
    SetCaptionGlyph(btnVoltage, QStringLiteral("PFN"));
    btnVoltage->SetOnClick(Notify(&TformMain::btnVoltageClick));
    updownPFN = MakeUpDown(bar, "updownPFN", QStringLiteral("Adjust PFN voltage"), 1045);
    updownPFN->SetOnUpClick(Notify(&TformMain::updownPFNUpClick));
    updownPFN->SetOnDownClick(Notify(&TformMain::updownPFNDownClick));

    btnPulseWidth = MakeDropButton(bar, "btnPulseWidth", QStringLiteral("Pulse"), QString(),
                                   dropdownPulseWidths, QStringLiteral("Pulse"));
    btnPulseWidth->SetGroupIndex(1);
    btnPulseWidth->SetAllowAllUp(true);
    btnPulseWidth->SetGlyphFromImages(imglstMenus, miShortPulse, QSize(24, 24));
    btnPulseWidth->SetOnClick(Notify(&TformMain::btnPulseWidthClick));
    sep10 = MakeSeparator(bar, "sep10");
    // The first row ends at sep10, which only a laser with the pulse width
    // shows; without it the rows fill to the window's width.
    tbMainLaser->SetRowBreak(sep10);

    btnDiode1 = MakeButton(bar, "btnDiode1", QStringLiteral("D1C ?"),
                           QStringLiteral("Set Diode1 Current"), QStringLiteral("100.0%"));
    btnDiode1->setProperty("Tag", 1);
    SetCaptionGlyph(btnDiode1, QStringLiteral("Diode 1"));
    btnDiode1->SetOnClick(Notify([this] { DiodeCurrentClick(1); }));
    updownDiode1 = MakeUpDown(bar, "updownDiode1", QStringLiteral("Adjust Diode1 Current"), 1047);
    updownDiode1->SetOnUpClick(Notify(&TformMain::updownDiode1UpClick));
    updownDiode1->SetOnDownClick(Notify(&TformMain::updownDiode1DownClick));
    sep4 = MakeSeparator(bar, "sep4");
    btnDiode2 = MakeButton(bar, "btnDiode2", QStringLiteral("D2C ?"),
                           QStringLiteral("Set Diode2 Current"), QStringLiteral("100.0%"));
    btnDiode2->setProperty("Tag", 2);
    SetCaptionGlyph(btnDiode2, QStringLiteral("Diode 2"));
    btnDiode2->SetOnClick(Notify([this] { DiodeCurrentClick(2); }));
    updownDiode2 = MakeUpDown(bar, "updownDiode2", QStringLiteral("Adjust Diode2 Current"), 1047);
    updownDiode2->SetOnUpClick(Notify(&TformMain::updownDiode2UpClick));
    updownDiode2->SetOnDownClick(Notify(&TformMain::updownDiode2DownClick));
    sep5 = MakeSeparator(bar, "sep5");

    btnEnergy = MakeButton(bar, "btnEnergy", QStringLiteral("Atten ?"),
                           QStringLiteral("Set laser output"), QStringLiteral("100.0%"));
    SetCaptionGlyph(btnEnergy, QStringLiteral("Output"));
    btnEnergy->SetOnClick(Notify(&TformMain::btnEnergyClick));
    updownEnergy = MakeUpDown(bar, "updownEnergy", QStringLiteral("Adjust laser output"), 1050);
    updownEnergy->SetOnUpClick(Notify(&TformMain::updownEnergyUpClick));
    updownEnergy->SetOnDownClick(Notify(&TformMain::updownEnergyDownClick));

    switchEnergyMode = new TSwitch(bar);
    switchEnergyMode->setObjectName(QStringLiteral("switchEnergyMode"));
    switchEnergyMode->SetHint(QStringLiteral("Laser output range switch"));
    SetAccessible(switchEnergyMode, QString());
    SetHelpContext(switchEnergyMode, 1040);
    switchEnergyMode->resize(qMax(40, switchEnergyMode->sizeHint().width()), RowHeight);
    switchEnergyMode->SetOnClick(Notify(&TformMain::switchEnergyModeClick));

    btnLaserFire = MakeButton(bar, "btnLaserFire", QStringLiteral("Fire"),
                              QStringLiteral("Fire the laser"), QStringLiteral("Stop"));
    btnLaserFire->SetGroupIndex(1);
    btnLaserFire->SetAllowAllUp(true);
    btnLaserFire->SetGlyph(FireGlyph());
    btnLaserFire->SetGlyphSize(QSize(28, 28));
    btnLaserFire->SetNumGlyphs(4);
    btnLaserFire->SetLayout(TButtonLayout::blGlyphTop);
    btnLaserFire->SetSpacing(0);
    btnLaserFire->resize(qMax(btnLaserFire->width(), 56), RowHeight);
    btnLaserFire->SetOnClick(Notify(&TformMain::btnLaserFireClick));

    animLaser = new TAnimate(bar);
    animLaser->setObjectName(QStringLiteral("animLaser"));
    animLaser->SetColor(Qt::black);
    animLaser->SetHint(QStringLiteral("Animation plays when laser is firing"));
    SetAccessible(animLaser, QString());
    animLaser->resize(animLaser->sizeHint().width() + 4, RowHeight);

    // Design positions: the first row ends with sep10, the second row holds
    // the output controls and the fire button.
    TRowPlacer first(0);
    for (QWidget* control :
         {static_cast<QWidget*>(btnLaserOnOff), sep1, static_cast<QWidget*>(btnLaserMode), sep2,
          static_cast<QWidget*>(btnRepRate), static_cast<QWidget*>(updownRate), sep3,
          static_cast<QWidget*>(btnVoltage), static_cast<QWidget*>(updownPFN),
          static_cast<QWidget*>(btnPulseWidth), sep10})
        first.Put(control);
    TRowPlacer second(RowHeight);
    for (QWidget* control :
         {static_cast<QWidget*>(btnDiode1), static_cast<QWidget*>(updownDiode1), sep4,
          static_cast<QWidget*>(btnDiode2), static_cast<QWidget*>(updownDiode2), sep5,
          static_cast<QWidget*>(btnEnergy), static_cast<QWidget*>(updownEnergy)})
        second.Put(control);
    second.Put(switchEnergyMode, 4);
    second.Put(btnLaserFire, 4);
    second.Put(animLaser, 4);
    return tbMainLaser;
}

QWidget* TformMain::CreateOptionsToolBar() {
    tbOptions = new TToolBar;
    tbOptions->setObjectName(QStringLiteral("tbOptions"));
    tbOptions->SetRowHeight(RowHeight);
    QWidget* bar = tbOptions;

    btnWavelength = MakeDropButton(bar, "btnWavelength", QStringLiteral("Wavelength"),
                                   QStringLiteral("Select laser wavelength"), dropdownWavelength,
                                   QStringLiteral("Wavelength"));
    btnWavelength->BtnMain()->SetGroupIndex(0);
    SetHelpContext(btnWavelength, 1060);
    btnWavelength->SetOnClick(Notify(&TformMain::btnWavelengthClick));
    sep6 = MakeSeparator(bar, "sep6");

    panelMarker = new QFrame(bar);
    panelMarker->setObjectName(QStringLiteral("panelMarker"));
    panelMarker->setFrameShape(QFrame::Panel);
    panelMarker->setFrameShadow(QFrame::Sunken);
    SetHelpContext(panelMarker, 1100);
    auto makeAdjuster = [this](const char* name, const QString& caption, const QString& hint,
                               int left, int width) {
        auto* adjuster = new TKxAdjuster(panelMarker);
        adjuster->setObjectName(QLatin1String(name));
        adjuster->SetBounds(left, 7, width, 34);
        adjuster->SetCaption(caption);
        adjuster->SetFormatString(QStringLiteral("%.2f"));
        adjuster->SetIncrement(1);
        adjuster->SetMax(100);
        adjuster->SetUnitsString(QStringLiteral("%"));
        adjuster->SetHint(hint);
        adjuster->setAccessibleName(caption);
        adjuster->setAccessibleDescription(hint);
        adjuster->EditValue()->setAccessibleName(caption);
        adjuster->EditValue()->setAccessibleDescription(hint);
        adjuster->SetOnValueChange(Notify(&TformMain::adjAperValueChange));
        return adjuster;
    };
    adjAperWidth = makeAdjuster("adjAperWidth", QStringLiteral("Width"),
                                QStringLiteral("Laser aperture width"), 4, 65);
    adjAperHeight = makeAdjuster("adjAperHeight", QStringLiteral("Height"),
                                 QStringLiteral("Laser aperture height"),
                                 qMax(79, adjAperWidth->x() + adjAperWidth->width() + 10), 62);
    btnMarkerLight = new TKxSpeedButton(panelMarker);
    btnMarkerLight->setObjectName(QStringLiteral("btnMarkerLight"));
    btnMarkerLight->SetCaption(QStringLiteral("Light"));
    btnMarkerLight->hide();
    panelMarker->resize(adjAperHeight->x() + adjAperHeight->width() + 4, RowHeight - 2);
    sep7 = MakeSeparator(bar, "sep7");

    btnXYShutterRotation =
        MakeButton(bar, "btnXYShutterRotation", QStringLiteral("Rotation"),
                   QStringLiteral("Change XY Shutter Rotation"), QStringLiteral("Rotation"));
    SetCaptionGlyph(btnXYShutterRotation, QStringLiteral("Rotation"));
    btnXYShutterRotation->SetOnClick(Notify(&TformMain::btnXYShutterRotationClick));
    updownTheta =
        MakeUpDown(bar, "updownTheta",
                   QStringLiteral("Adjust XY Shutter Rotation angle from -90 to 90."), 1045);
    updownTheta->SetOnUpClick(Notify(&TformMain::updownThetaUpClick));
    updownTheta->SetOnDownClick(Notify(&TformMain::updownThetaDownClick));
    btnRotatingPolarizer =
        MakeButton(bar, "btnRotatingPolarizer", QStringLiteral("Polarization"),
                   QStringLiteral("Change polarization rotation"), QStringLiteral("Polarization"));
    SetCaptionGlyph(btnRotatingPolarizer, QStringLiteral("Polarizer"));
    btnRotatingPolarizer->SetOnClick(Notify(&TformMain::btnRotatingPolarizerClick));
    updownRotatingPolarizer =
        MakeUpDown(bar, "updownRotatingPolarizer",
                   QStringLiteral("Adjust polarization angle from -180 to 180."), 1045);
    updownRotatingPolarizer->SetOnUpClick(Notify(&TformMain::updownRotatingPolarizerUpClick));
    updownRotatingPolarizer->SetOnDownClick(Notify(&TformMain::updownRotatingPolarizerDownClick));
    sep9 = MakeSeparator(bar, "sep9");

    btnLED = MakeButton(bar, "btnLED", QStringLiteral("LED ?"),
                        QStringLiteral("Set Illuminator Brightness"), QStringLiteral("100.0%"));
    btnLED->SetFlat(false);
    btnLED->resize(btnLED->width(), RowHeight);
    SetCaptionGlyph(btnLED, QStringLiteral("Illuminator"));
    btnLED->SetOnClick(Notify(&TformMain::btnLEDClick));
    updownLED = MakeUpDown(bar, "updownLED", QStringLiteral("Adjust Illuminator Brightness"), 0);
    updownLED->SetOnUpClick(Notify(&TformMain::updownLEDUpClick));
    updownLED->SetOnDownClick(Notify(&TformMain::updownLEDDownClick));

    TRowPlacer row(0);
    row.Put(btnWavelength);
    row.Put(sep6);
    row.Put(panelMarker);
    row.Put(sep7);
    row.Put(btnXYShutterRotation);
    row.Put(updownTheta);
    row.Put(btnRotatingPolarizer);
    row.Put(updownRotatingPolarizer);
    row.Put(sep9);
    row.Put(btnLED);
    row.Put(updownLED);
    return tbOptions;
}

QWidget* TformMain::CreateExtraToolBar() {
    // Serial or remote-box control: set once by the laser, never offered.
    tbExtra = new QWidget;
    tbExtra->setObjectName(QStringLiteral("tbExtra"));
    auto* row = new QHBoxLayout(tbExtra);
    row->addWidget(new QLabel(QStringLiteral("Serial"), tbExtra));
    swSerialControl = new TSwitch(tbExtra);
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

QWidget* TformMain::CreateStatusPanel() {
    panelStatus = new QFrame;
    panelStatus->setObjectName(QStringLiteral("panelStatus"));
    panelStatus->setFrameShape(QFrame::StyledPanel);
    SetHelpContext(panelStatus, 1070);
    auto* row = new QHBoxLayout(panelStatus);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(3);
    indStart = MakeIndicator(panelStatus, "indStart", QStringLiteral("Start"), clYellow,
                             QStringLiteral("Indicates if laser is starting up"));
    indFlow = MakeIndicator(panelStatus, "indFlow", QStringLiteral("Flow"), clRed,
                            QStringLiteral("Coolant flow failure indicator"));
    indTemp = MakeIndicator(panelStatus, "indTemp", QStringLiteral("Temp"), clRed,
                            QStringLiteral("Overheating indicator"));
    indExt = MakeIndicator(panelStatus, "indExt", QStringLiteral("Ext"), clRed,
                           QStringLiteral("External interlock indicator"));
    indWork = MakeIndicator(panelStatus, "indWork", QStringLiteral("Work"), clRed,
                            QStringLiteral("Workpiece interlock indicator"));
    indBurstLock =
        MakeIndicator(panelStatus, "indBurstLock", QStringLiteral("Burst Lock"), clYellow,
                      QStringLiteral("Indicates that laser is cooling\r\ndown after "
                                     "firing a burst of pulses"));
    indCoolantLow =
        MakeIndicator(panelStatus, "indCoolantLow", QStringLiteral("Coolant Low"), clYellow,
                      QStringLiteral("Indicates that coolant level is low.\r\n"
                                     "Replenish coolant as soon as possible."));
    for (TKxIndicator* indicator : {indStart, indFlow, indTemp, indExt, indWork})
        row->addWidget(indicator);
    // The two share one place; at most one of them is shown.
    row->addWidget(indBurstLock);
    row->addWidget(indCoolantLow);
    indBurstLock->hide();
    indCoolantLow->hide();
    labelStatus = new QLabel(panelStatus);
    labelStatus->setObjectName(QStringLiteral("labelStatus"));
    labelStatus->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    labelStatus->setTextFormat(Qt::PlainText);
    labelStatus->setMinimumWidth(40);
    labelStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(labelStatus, 1);
    return panelStatus;
}
