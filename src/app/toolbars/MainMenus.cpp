#include "app/toolbars/MainMenus.h"

#include "app/toolbars/BarControls.h"
#include "app/toolbars/MenuImages.h"
#include "laser/CVLaser.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

using namespace bars;

TMainMenus::TMainMenus(QMainWindow* window, const THandlers& handlers) : FImages(MenuImages()) {
    const auto action = [](QMenu* menu, const char* name, const QString& text,
                           const TNotifyEvent& handler) {
        QAction* item = menu->addAction(text);
        item->setObjectName(QLatin1String(name));
        QObject::connect(item, &QAction::triggered, item, [item, handler] { handler(item); });
        return item;
    };
    QMenu* menuFile = window->menuBar()->addMenu(QStringLiteral("&File"));
    menuFile->setObjectName(QStringLiteral("menuFile"));
    action(menuFile, "menuSaveSettings", QStringLiteral("Save Settings..."),
           handlers.SaveSettings1Click);
    menuRecallSettings =
        action(menuFile, "menuRecallSettings", QStringLiteral("Recall Settings..."),
               handlers.menuRecallSettings1Click);
    menuFile->addSeparator();
    action(menuFile, "Exit1", QStringLiteral("E&xit"), handlers.Exit1Click);

    menuLaser = window->menuBar()->addMenu(QStringLiteral("&Laser"));
    menuLaser->setObjectName(QStringLiteral("menuLaser"));
    action(menuLaser, "menuInitialize1", QStringLiteral("&Initialize"),
           handlers.menuInitialize1Click);
    action(menuLaser, "menuLaserShots", QStringLiteral("Shots per Burst..."),
           handlers.menuLaserModeBurstShotsClick)
        ->setIcon(FImages.value(miShotsPerBurst));
    action(menuLaser, "menuNetworkConnect", QStringLiteral("Connect Over Network..."),
           handlers.menuNetworkConnectClick)
        ->setIcon(FImages.value(miNetwork));
    menuLaser->addSeparator();
    action(menuLaser, "menuConfigure", QStringLiteral("&Configure Controller..."),
           handlers.menuConfigureClick)
        ->setVisible(false);

    QMenu* menuHelp = window->menuBar()->addMenu(QStringLiteral("&Help"));
    menuHelp->setObjectName(QStringLiteral("menuHelp"));
    action(menuHelp, "menuAbout", QStringLiteral("About..."), handlers.About1Click);
    action(menuHelp, "menuHelpContents", QStringLiteral("Contents"), handlers.menuHelpContentsClick)
        ->setShortcut(QKeySequence::HelpContents);
    menuHelp->addSeparator();
    action(menuHelp, "menuCheckVersion", QStringLiteral("Check for New Version..."),
           handlers.menuCheckforNewVersion1Click);
    menuHelp->addSeparator();
    action(menuHelp, "menuTerminal", QStringLiteral("&Terminal..."), handlers.Terminal1Click);

    // Qt checks a clicked radio item before its handler runs. The check is
    // taken back at once and the handler checks the item that shows the
    // laser's state, so a choice the laser refuses or ignores (a wavelength
    // without harmonic sets) leaves the check where it was.
    const auto radio = [this](QMenu* menu, QActionGroup* group, const char* name,
                              const QString& text, TMenuImage image, const TNotifyEvent& handler) {
        QAction* item = menu->addAction(text);
        item->setObjectName(QLatin1String(name));
        item->setCheckable(true);
        item->setIcon(FImages.value(image));
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, item, [item, group, handler] {
            RestoreMenuCheck(group);
            handler(item);
        });
        return item;
    };
    dropdownModes = new QMenu(window);
    dropdownModes->setObjectName(QStringLiteral("dropdownModes"));
    auto* modes = new QActionGroup(dropdownModes);
    menuLaserModeCont =
        radio(dropdownModes, modes, "menuLaserModeCont", QStringLiteral("&Continuous"),
              miContinuous, handlers.menuLaserModeContClick);
    menuLaserMode1Shot =
        radio(dropdownModes, modes, "menuLaserMode1Shot", QStringLiteral("&Single Shot"),
              miSingleShot, handlers.menuLaserMode1ShotClick);
    menuLaserModeBurst = radio(dropdownModes, modes, "menuLaserModeBurst", QStringLiteral("&Burst"),
                               miBurst, handlers.menuLaserModeBurstClick);
    CheckMenuItem(menuLaserModeCont);

    popupModeProps = new QMenu(window);
    popupModeProps->setObjectName(QStringLiteral("popupModeProps"));
    action(popupModeProps, "menuLaserModeBurstShots", QStringLiteral("&Shots Per Burst..."),
           handlers.menuLaserModeBurstShotsClick)
        ->setIcon(FImages.value(miShotsPerBurst));

    dropdownWavelength = new QMenu(window);
    dropdownWavelength->setObjectName(QStringLiteral("dropdownWavelength"));
    auto* wavelengths = new QActionGroup(dropdownWavelength);
    menuLaserIR = radio(dropdownWavelength, wavelengths, "menuLaserIR", QStringLiteral("IR"), miIR,
                        handlers.menuLaserIRClick);
    menuLaserGreen = radio(dropdownWavelength, wavelengths, "menuLaserGreen",
                           QStringLiteral("Green"), miGreen, handlers.menuLaserGreenClick);
    menuLaserUV = radio(dropdownWavelength, wavelengths, "menuLaserUV", QStringLiteral("UV"), miUV,
                        handlers.menuLaserUVClick);

    dropdownPulseWidths = new QMenu(window);
    dropdownPulseWidths->setObjectName(QStringLiteral("dropdownPulseWidths"));
    auto* widths = new QActionGroup(dropdownPulseWidths);
    menuShortPulse =
        radio(dropdownPulseWidths, widths, "menuShortPulse", QStringLiteral("Short Pulse"),
              miShortPulse, handlers.menuShortPulseClick);
    menuLongPulse = radio(dropdownPulseWidths, widths, "menuLongPulse",
                          QStringLiteral("Long Pulse"), miLongPulse, handlers.menuLongPulseClick);
    CheckMenuItem(menuShortPulse);
}

QAction* TMainMenus::FireModeItem(TFireMode mode) const {
    switch (mode) {
    case fmContinuous:
        return menuLaserModeCont;
    case fmOneShot:
        return menuLaserMode1Shot;
    case fmBurst:
        return menuLaserModeBurst;
    }
    return menuLaserModeCont;
}

QString TMainMenus::FireModeText(TFireMode mode) const {
    return FireModeItem(mode)->text();
}

void TMainMenus::CheckFireMode(TFireMode mode) {
    CheckMenuItem(FireModeItem(mode));
}

QAction* TMainMenus::WavelengthItem(TWavelength wavelength) const {
    switch (wavelength) {
    case wlIR:
        return menuLaserIR;
    case wlGreen:
        return menuLaserGreen;
    case wlUV:
        return menuLaserUV;
    }
    return nullptr;
}

QString TMainMenus::WavelengthText(TWavelength wavelength) const {
    const QAction* item = WavelengthItem(wavelength);
    return item ? item->text() : QString();
}

void TMainMenus::CheckWavelength(TWavelength wavelength) {
    if (QAction* item = WavelengthItem(wavelength))
        CheckMenuItem(item);
}

QString TMainMenus::PulseWidthText(bool longPulse) const {
    return (longPulse ? menuLongPulse : menuShortPulse)->text();
}

void TMainMenus::CheckPulseWidth(bool longPulse) {
    CheckMenuItem(longPulse ? menuLongPulse : menuShortPulse);
}

void TMainMenus::LayoutFor(const TCVLaser& laser) {
    const quint8 offered = laser.Wavelengths();
    menuLaserIR->setEnabled(offered & (1u << wlIR));
    menuLaserGreen->setEnabled(offered & (1u << wlGreen));
    menuLaserUV->setEnabled(offered & (1u << wlUV));
}

void TMainMenus::SetRecallEnabled(bool enabled) {
    menuRecallSettings->setEnabled(enabled);
}

void TMainMenus::SetLaserMenuEnabled(bool enabled) {
    menuLaser->setEnabled(enabled);
}
