#pragma once

#include <QIcon>
#include <QList>

// The pictures of the main window, drawn in code so that they stay sharp at
// every size and screen scale, with colours that read on light and dark
// palettes alike. Each icon draws itself at whatever size it is asked for;
// the design sizes below only give the proportions the pictures were
// drawn for. A disabled icon is a faded grey copy of its normal look.

// Positions in the list returned by MenuImages().
enum TMenuImage : int {
    miContinuous = 0, // firing mode: continuous
    miSingleShot,     // firing mode: one pulse
    miBurst,          // firing mode: a burst of pulses
    miShotsPerBurst,  // the pulses-per-burst command
    miIR,             // wavelength: infrared
    miGreen,          // wavelength: green
    miUV,             // wavelength: ultraviolet
    miNetwork,        // connect over the network
    miShortPulse,     // pulse width: short
    miLongPulse,      // pulse width: long
    miCount           // the number of pictures in the list
};

// The image list of the menus and of the mode, wavelength and pulse-width
// drop buttons: miCount icons of 16 x 16 design pixels, in TMenuImage order.
// The icons look the same in every mode and state except QIcon::Disabled.
QList<QIcon> MenuImages();

// The fire button's picture, 32 x 32 design pixels, in the four looks a
// TSpeedButton asks for: QIcon::Normal (ready to fire), QIcon::Disabled
// (greyed), QIcon::Active (held down) and QIcon::Selected (latched:
// firing). The state QIcon::On also gives the firing look, for painters
// that show a latched button by state rather than by mode; a disabled or
// held-down look wins over it.
QIcon FireGlyph();

// The program's window icon: a laser head sending out a beam, 64 x 64
// design pixels, offered to the window system at 16 to 256 pixels.
QIcon AppIcon();
