#pragma once

#include <QIcon>
#include <QSize>
#include <QString>

class TSpeedButton;

// A small printed label as a button glyph, so that a button whose caption is
// only a value ("57.2%", "10 Hz") still says what it sets. It is drawn in
// the printed-label font (Glyphs.h) and the palette's button text colour,
// as the caption below it (greyed only when the button is disabled), and
// stays sharp at any scale.
QIcon CaptionGlyph(const QString& label);

// Puts `label` above the button's caption and gives the button room for it.
// The label names the button for screen readers, and the caption becomes
// its value (bars::SetButtonCaption keeps it so).
void SetCaptionGlyph(TSpeedButton* button, const QString& label);
