#pragma once

#include "controls/SpeedButton.h"

// A speed button whose glyph is a small LED, lit or dark according to
// LedOn. Writing LedOn loads the picture "INDBUT_ON" or "INDBUT_OFF"
// (Glyphs.h) over whatever glyph the button had; a button whose LedOn is
// never written keeps the glyph it was given.
class TKxIndButton : public TSpeedButton {
    Q_OBJECT
public:
    explicit TKxIndButton(QWidget* parent = nullptr);
    ~TKxIndButton() override;

    bool LedOn() const { return FLedOn; }
    void SetLedOn(bool ledOn);

private:
    void UpdateGlyph();

    bool FLedOn = false;
};
