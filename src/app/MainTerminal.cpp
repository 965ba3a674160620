// Opening the terminal window.
#include "app/LCMain.h"

#include "controls/KxFormManager.h"
#include "laser/CVLaser.h"
#include "laser/LaserError.h"
#include "terminal/Terminal.h"

#include <QTimer>

void TformMain::Terminal1Click() {
    const bool polling = timerPollLaser->isActive();
    timerPollLaser->stop();
    // The terminal takes every port; the laser lets go of its own first and
    // keeps the number.
    const bool laserHeldPort = FLaser->Connected();
    FLaser->SetPortNumber(0);

    // Made (and registered) first, so that it can be given the dialogs
    // before the modal showing; a fresh window each time.
    FFormManager->ShowForm(formTerminal, TKxFormManager::smCreateOnly);
    formTerminal->SetDialogs(FDialogs.get());
    FFormManager->ShowForm(formTerminal, TKxFormManager::smModal);

    // The laser would reopen its port at its next exchange; doing it now
    // means a close that follows at once still switches the laser off.
    if (laserHeldPort) {
        try {
            FLaser->OpenPort(FLaser->PortNumber());
        } catch (const ELaserError&) {
            // The next exchange reports it.
        }
    }
    // A close that arrived meanwhile stopped the poll for good.
    if (polling && !FCloseRequested && !FTerminating)
        timerPollLaser->start();
}
