#pragma once

// The help contexts: the numbers the main window gives its controls and
// dialogs, each naming a page of the help and a place on it (THelpViewer).
enum THelpContext : int {
    hcMainWindow = 10,
    hcSaveSettings = 230,
    hcRecallSettings = 240,
    hcSupplySwitch = 1000,
    hcFireMode = 1010,
    hcRepRate = 1030,
    hcOutputRange = 1040,
    hcVoltageAndAngles = 1045, // PFN voltage, rotation and polarizer arrows
    hcDiodeCurrents = 1047,
    hcOutputLevel = 1050,
    hcWavelength = 1060,
    hcStatusPanel = 1070,
    hcStatusBar = 1075,
    hcAperture = 1100,
};
