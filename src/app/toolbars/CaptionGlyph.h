#pragma once

#include <QIcon>
#include <QSize>
#include <QString>

class TSpeedButton;

// A small printed label as a button glyph, so that a button whose caption is
// only a value ("57.2%", "10 Hz") still says what it sets. It is drawn with
// the desktop's font, a size smaller, in the palette's text colour (greyed
// when the button is disabled), and stays sharp at any scale.
QIcon CaptionGlyph(const QString& label);

// Puts `label` above the button's caption and gives the button room for it.
void SetCaptionGlyph(TSpeedButton* button, const QString& label);
